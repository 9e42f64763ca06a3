#pragma once

#include "Win32Api.h"

#include <commctrl.h>

#include <functional>
#include <string>

#include "Owners.h"

// A tip over the lines of a list view: while the pointer rests on a line, it shows what the source
// says about that line, and nothing when the source says nothing. A tooltip control of its own,
// fed the list view's mouse messages by the list's subclass: Wine's list view never asks for info
// tips (LVN_GETINFOTIPW), and this way Windows and Wine show the same tip.
class LineTip {
public:
    // The tip for line i, asked only when the tip is about to show; empty for none.
    using Source = std::function<std::wstring(int line)>;

    // Without its tooltip (should the system refuse one) the list simply shows no tips.
    void Create(HWND listView, Source source);
    // A mouse message the list view got: the tooltip hears it, and the tip follows the line under
    // the pointer.
    void Relay(UINT message, WPARAM wParam, LPARAM lParam);
    // The lines moved under the pointer (scrolled, removed): the tip goes until the pointer moves.
    void Forget();
    // A notification the list view got; true when it was the tooltip's own, answered here.
    bool OnNotify(const NMHDR& header);
    void Destroy() { tooltip_.Reset(); }
    // Shows the tip of the line under the pointer at once, as the hover delay would (for tests).
    // tip: the tooltip of a LineTip.
    static void ShowNow(HWND tip);
    HWND hWnd() const { return tooltip_.Get(); }

private:
    int LineAt(POINT client) const;
    void MoveTool(int line);
    void FillText(NMTTDISPINFOW& info);

    HWND listView_ = nullptr;
    win32::UniqueWindow tooltip_;
    Source source_;
    int line_ = -1;
    std::wstring text_;  // the text shown, kept for as long as the tooltip points at it
};
