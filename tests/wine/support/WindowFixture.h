#pragma once

#include "Win32Api.h"

#include <memory>

#include <gtest/gtest.h>

#include "WindowTestSupport.h"

// One of our windows made in-process for each test: shown without taking the focus, its messages
// pumped, and destroyed after the test. A fixture's SetUp opens it with the window's arguments.
template <class Form> class WindowFixture : public ::testing::Test {
protected:
    template <class... Arguments> void Open(Arguments&... arguments) {
        form_ = std::make_unique<Form>(::GetModuleHandleW(nullptr), arguments...);
        ASSERT_TRUE(form_->Create());
        form_->Show(SW_SHOWNOACTIVATE);
        PumpMessages();
    }
    void TearDown() override {
        form_.reset();
        PumpMessages();
    }

    HWND Window() const { return form_->hWnd(); }
    POINT OnScreen(POINT client) const {
        ::ClientToScreen(Window(), &client);
        return client;
    }
    // A press of a button at from, the pointer moved by (dx, dy) with keys held, and the release.
    void DragWith(UINT down, UINT up, WPARAM keys, POINT from, int dx, int dy) const {
        ::SendMessageW(Window(), down, keys, PointParam(from.x, from.y));
        ::SendMessageW(Window(), WM_MOUSEMOVE, keys, PointParam(from.x + dx, from.y + dy));
        ::SendMessageW(Window(), up, 0, PointParam(from.x + dx, from.y + dy));
    }
    // How far the window moved while action ran.
    template <class Action> POINT MovedBy(Action action) const {
        const RECT before = WindowRect(Window());
        action();
        const RECT after = WindowRect(Window());
        return {after.left - before.left, after.top - before.top};
    }

    std::unique_ptr<Form> form_;
};

inline bool operator==(POINT a, POINT b) { return a.x == b.x && a.y == b.y; }
inline std::ostream& operator<<(std::ostream& out, POINT p) { return out << "(" << p.x << ", " << p.y << ")"; }

// How many windows of this thread have that class.
inline int WindowsOfClass(const wchar_t* className) {
    struct Count {
        const wchar_t* className;
        int windows;
    } count{className, 0};
    ::EnumThreadWindows(
        ::GetCurrentThreadId(),
        [](HWND window, LPARAM param) {
            auto& counted = *reinterpret_cast<Count*>(param);
            if (ClassOf(window) == counted.className) ++counted.windows;
            return TRUE;
        },
        reinterpret_cast<LPARAM>(&count));
    return count.windows;
}

inline bool HasStyle(HWND window, LONG_PTR style) {
    return (::GetWindowLongPtrW(window, GWL_STYLE) & style) == style;
}

// A top-level window without border or owner whose client area, of the given size, is the whole
// window, centred on the screen.
inline void ExpectBorderlessAndCentred(HWND window, int width, int height) {
    RECT client{};
    ::GetClientRect(window, &client);
    EXPECT_EQ(client.right, width);
    EXPECT_EQ(client.bottom, height);
    const RECT rect = WindowRect(window);
    EXPECT_EQ(rect.right - rect.left, width);
    EXPECT_EQ(rect.bottom - rect.top, height);
    EXPECT_EQ(rect.left, (::GetSystemMetrics(SM_CXSCREEN) - width) / 2);
    EXPECT_EQ(rect.top, (::GetSystemMetrics(SM_CYSCREEN) - height) / 2);
    EXPECT_FALSE(HasStyle(window, WS_CAPTION));
    EXPECT_FALSE(HasStyle(window, WS_THICKFRAME));
    EXPECT_FALSE(HasStyle(window, WS_CHILD));
    EXPECT_EQ(::GetWindow(window, GW_OWNER), nullptr);
}

inline HICON ClassIcon(HWND window) {
    return reinterpret_cast<HICON>(::GetClassLongPtrW(window, GCLP_HICON));
}

inline LRESULT AskAutoPlay(HWND window) { return ::SendMessageW(window, ShellsAutoPlayQuestion(), 0, 0); }

// A click on a Check1, as the keyboard's space bar gives it.
inline void ClickCheck1(HWND check) { ::SendMessageW(check, BM_CLICK, 0, 0); }
