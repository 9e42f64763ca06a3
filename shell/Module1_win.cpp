#include "shell/Module1.h"

#include <unordered_map>

namespace Module1 {
namespace {

// The procedure each hooked window had before, kept in-process: window properties would cost a
// wineserver round trip on every message under Wine.
std::unordered_map<HWND, WNDPROC>& ReplacedProcedures() {
    static std::unordered_map<HWND, WNDPROC> procedures;
    return procedures;
}

}  // namespace

UINT AutoPlayMessageId() {
    // The system gives the same number for the same name for the whole session.
    static const UINT id = ::RegisterWindowMessageW(L"QueryCancelAutoPlay");
    return id;
}

void InstallAutoPlayHook(HWND window) {
    if (!::IsWindow(window) || IsAutoPlayHooked(window)) return;
    const auto replaced = reinterpret_cast<WNDPROC>(::SetWindowLongPtrW(
        window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(&AutoPlayHook)));
    if (replaced) ReplacedProcedures()[window] = replaced;
}

void RemoveAutoPlayHook(HWND window) {
    auto& procedures = ReplacedProcedures();
    const auto found = procedures.find(window);
    if (found == procedures.end()) return;
    // Someone subclassed the window after us: putting ours back would cut them off.
    if (::GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(&AutoPlayHook)) return;
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second));
    procedures.erase(found);
}

bool IsAutoPlayHooked(HWND window) { return ReplacedProcedures().contains(window); }

LRESULT CALLBACK AutoPlayHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == AutoPlayMessageId()) return -1;
    auto& procedures = ReplacedProcedures();
    const auto found = procedures.find(window);
    if (found == procedures.end()) return ::DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC replaced = found->second;
    // The window is going: forget it, so that a new window given the same handle starts unhooked.
    if (message == WM_NCDESTROY) procedures.erase(found);
    return ::CallWindowProcW(replaced, window, message, wParam, lParam);
}

}  // namespace Module1
