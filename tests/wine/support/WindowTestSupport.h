#pragma once

#include "listing/Windows_win.h"

#include <string>

// Helpers for driving real windows in-process: messages go through SendMessageW (synchronous);
// posted ones are pumped in a bounded loop, never by sleeping.

// Handles the messages waiting now, at most a few thousand, and returns.
inline void PumpMessages() {
    MSG message;
    for (int i = 0; i < 5000 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

inline LPARAM PointParam(int x, int y) { return MAKELPARAM(x, y); }

// A left click at client pixel (x, y), as the mouse would give it.
inline void ClickAt(HWND window, int x, int y) {
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(x, y));
    ::SendMessageW(window, WM_LBUTTONUP, 0, PointParam(x, y));
}

inline std::wstring ClassOf(HWND window) {
    std::wstring name(256, L'\0');
    name.resize(static_cast<size_t>(::GetClassNameW(window, name.data(), static_cast<int>(name.size()))));
    return name;
}

inline std::wstring TextOf(HWND window) {
    std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window)) + 1, L'\0');
    text.resize(static_cast<size_t>(::GetWindowTextW(window, text.data(), static_cast<int>(text.size()))));
    return text;
}

// The child's rectangle in its parent's client coordinates.
inline RECT RectInParent(HWND child) {
    RECT rect{};
    ::GetWindowRect(child, &rect);
    ::MapWindowPoints(HWND_DESKTOP, ::GetParent(child), reinterpret_cast<POINT*>(&rect), 2);
    return rect;
}

inline RECT WindowRect(HWND window) {
    RECT rect{};
    ::GetWindowRect(window, &rect);
    return rect;
}
