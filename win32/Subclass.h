#pragma once

#include "Win32Api.h"

#include <unordered_map>

namespace win32 {

// Puts a procedure of ours in the place of windows' own (the system's list view, any of our
// windows for the AutoPlay hook) and keeps each replaced procedure in-process: window properties
// would cost a wineserver round trip on every message under Wine. One object per procedure.
class Subclass {
public:
    // procedure hands on what it does not answer itself through CallReplaced.
    explicit Subclass(WNDPROC procedure) : procedure_(procedure) {}
    Subclass(const Subclass&) = delete;
    Subclass& operator=(const Subclass&) = delete;

    // Puts the procedure on window, serving owner (which OwnerOf gives back); a window that has
    // it already keeps it as it is. False when the window did not take it.
    bool Install(HWND window, void* owner = nullptr);
    // Puts back the procedure it replaced on window, unless someone subclassed the window after
    // us: putting ours back would cut them off, so it stays (false). Other windows keep it.
    bool Remove(HWND window);
    bool IsInstalled(HWND window) const { return replaced_.contains(window); }
    // The owner given at installation; null for a window without the procedure.
    void* OwnerOf(HWND window) const;
    // Hands a message on to the procedure replaced on window. At WM_NCDESTROY the window is
    // forgotten, so that a new window given the same handle starts without the procedure.
    LRESULT CallReplaced(HWND window, UINT message, WPARAM wParam, LPARAM lParam);

private:
    struct Replaced {
        WNDPROC procedure;
        void* owner;
    };

    WNDPROC procedure_;
    std::unordered_map<HWND, Replaced> replaced_;
};

}  // namespace win32
