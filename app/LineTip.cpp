#include "LineTip.h"

#include <windowsx.h>

#include <utility>

namespace {

constexpr UINT_PTR kToolId = 1;
// Wide enough for a path on one line; longer commands wrap.
constexpr LPARAM kTipWidth = 520;
// Long enough to read a few lines; the system's own default is gone in five seconds.
constexpr WORD kShownMs = 30000;

TTTOOLINFOW Tool(HWND listView) {
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = listView;
    tool.uId = kToolId;
    return tool;
}

}  // namespace

void LineTip::Create(HWND listView, Source source) {
    listView_ = listView;
    source_ = std::move(source);
    // Without an owner: its owner would be the main window, which destroys it before the list view
    // goes, and the handle kept here could then name another window.
    tooltip_.Reset(::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                     CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, nullptr, nullptr,
                                     nullptr, nullptr));
    if (!tooltip_) return;
    // One tool over the line under the pointer, its text asked for when it shows.
    TTTOOLINFOW tool = Tool(listView_);
    tool.lpszText = LPSTR_TEXTCALLBACKW;
    ::SendMessageW(hWnd(), TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    // A width lets the lines break where the text breaks them.
    ::SendMessageW(hWnd(), TTM_SETMAXTIPWIDTH, 0, kTipWidth);
    ::SendMessageW(hWnd(), TTM_SETDELAYTIME, TTDT_AUTOPOP, MAKELPARAM(kShownMs, 0));
}

void LineTip::Relay(UINT message, WPARAM wParam, LPARAM lParam) {
    if (!tooltip_) return;
    MSG relayed{listView_, message, wParam, lParam, static_cast<DWORD>(::GetMessageTime()), {}};
    const auto relay = [this, &relayed] {
        ::SendMessageW(hWnd(), TTM_RELAYEVENT, 0, reinterpret_cast<LPARAM>(&relayed));
    };
    const int line = message == WM_MOUSEMOVE ? LineAt({GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)}) : line_;
    if (line != line_) {
        // The tooltip waits and shows again only for a tool that it sees the pointer enter: it
        // sees the pointer leave the old line's first.
        MoveTool(-1);
        relay();
        MoveTool(line);
    }
    relay();
}

void LineTip::ShowNow(HWND tip) {
    ::SendMessageW(tip, TTM_POPUP, 0, 0);
    // Wine's tooltip has no TTM_POPUP: there the hover delay is its timer 1.
    if (!::IsWindowVisible(tip)) ::SendMessageW(tip, WM_TIMER, 1, 0);
}

void LineTip::Forget() {
    if (!tooltip_) return;
    ::SendMessageW(hWnd(), TTM_POP, 0, 0);
    MoveTool(-1);
}

bool LineTip::OnNotify(const NMHDR& header) {
    if (!tooltip_ || header.hwndFrom != hWnd()) return false;
    if (header.code == TTN_GETDISPINFOW) FillText(reinterpret_cast<NMTTDISPINFOW&>(const_cast<NMHDR&>(header)));
    return true;
}

int LineTip::LineAt(POINT client) const {
    LVHITTESTINFO hit{};
    hit.pt = client;
    const int line = ListView_HitTest(listView_, &hit);
    return (hit.flags & LVHT_ONITEM) ? line : -1;
}

// The tool covers the line under the pointer (none: an empty rectangle).
void LineTip::MoveTool(int line) {
    line_ = line;
    TTTOOLINFOW tool = Tool(listView_);
    if (line >= 0) ListView_GetItemRect(listView_, line, &tool.rect, LVIR_BOUNDS);
    ::SendMessageW(hWnd(), TTM_NEWTOOLRECTW, 0, reinterpret_cast<LPARAM>(&tool));
}

// Asked as the tip is about to show: the line is the one under the pointer now, and its file is
// read now, not while the pointer merely passes.
void LineTip::FillText(NMTTDISPINFOW& info) {
    POINT pointer{};
    ::GetCursorPos(&pointer);
    ::ScreenToClient(listView_, &pointer);
    const int line = LineAt(pointer);
    text_ = line >= 0 && source_ ? source_(line) : std::wstring();
    info.hinst = nullptr;
    info.lpszText = text_.data();
}
