#pragma once

#include "Win32Api.h"

#include <string>

// Helpers for driving real windows in-process: messages go through SendMessageW (synchronous);
// posted ones are pumped in a bounded loop, never by sleeping, and timers are fired by their ids.

// Handles the messages waiting now, at most a few thousand, and returns.
inline void PumpMessages() {
    MSG message;
    for (int i = 0; i < 5000 && ::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE); ++i) {
        ::TranslateMessage(&message);
        ::DispatchMessageW(&message);
    }
}

// The question the shell asks the foreground window before it starts AutoPlay, numbered as the
// shell numbers it.
inline UINT ShellsAutoPlayQuestion() { return ::RegisterWindowMessageW(L"QueryCancelAutoPlay"); }

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

// Mouse input as the user's hand gives it: through the system's input queue, so that the window
// under the pointer gets it (hit testing included). flags: MOUSEEVENTF_LEFTDOWN and the like.
inline void SendMouse(POINT screen, DWORD flags) {
    INPUT input{};
    input.type = INPUT_MOUSE;
    input.mi.dx = static_cast<LONG>(screen.x * 65536LL / ::GetSystemMetrics(SM_CXSCREEN)) + 1;
    input.mi.dy = static_cast<LONG>(screen.y * 65536LL / ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    input.mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | flags;
    ::SendInput(1, &input, sizeof input);
    PumpMessages();
}

// A left click at a screen point, as the user's hand gives it.
inline void RealClick(POINT screen) {
    SendMouse(screen, 0);
    SendMouse(screen, MOUSEEVENTF_LEFTDOWN);
    SendMouse(screen, MOUSEEVENTF_LEFTUP);
}

// A right click at a screen point, press and release queued together: the list view waits for the
// release inside its handling of the press.
inline void RealRightClick(POINT screen) {
    SendMouse(screen, 0);
    INPUT inputs[2]{};
    for (INPUT& input : inputs) {
        input.type = INPUT_MOUSE;
        input.mi.dx = static_cast<LONG>(screen.x * 65536LL / ::GetSystemMetrics(SM_CXSCREEN)) + 1;
        input.mi.dy = static_cast<LONG>(screen.y * 65536LL / ::GetSystemMetrics(SM_CYSCREEN)) + 1;
    }
    inputs[0].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_RIGHTDOWN;
    inputs[1].mi.dwFlags = MOUSEEVENTF_MOVE | MOUSEEVENTF_ABSOLUTE | MOUSEEVENTF_RIGHTUP;
    ::SendInput(2, inputs, sizeof(INPUT));
    PumpMessages();
}

// A drag with the left button from a screen point by (dx, dy), as the user's hand gives it.
inline void RealDrag(POINT from, int dx, int dy) {
    SendMouse(from, 0);
    SendMouse(from, MOUSEEVENTF_LEFTDOWN);
    SendMouse({from.x + dx / 2, from.y + dy / 2}, 0);
    SendMouse({from.x + dx, from.y + dy}, 0);
    SendMouse({from.x + dx, from.y + dy}, MOUSEEVENTF_LEFTUP);
}
