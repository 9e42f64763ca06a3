#pragma once

#include "Win32Api.h"

#include <memory>

#include <gtest/gtest.h>

#include "frmViewer.h"
#include "RecordingSystemCalls.h"
#include "common/ScriptedDialogs.h"
#include "WindowTestSupport.h"

// The main window created in-process, from which the monitor and the help window open as the
// user opens them: by a click on "VER ESTADO" or "?".
class WithTheMainWindow : public ::testing::Test {
protected:
    void SetUp() override {
        window_ = std::make_unique<frmViewer>(::GetModuleHandleW(nullptr), dialogs_, dialogs_, calls_);
        ASSERT_TRUE(window_->Create());
        window_->Show(SW_SHOWNOACTIVATE);
        PumpMessages();
    }
    void TearDown() override {
        window_.reset();
        PumpMessages();
    }

    HWND Main() const { return window_->hWnd(); }
    // The hot spots, clicked at the middle of their places (twips, 15 to a pixel).
    void ClickVerEstado() { ClickAt(Main(), (5280 + 1095 / 2) / 15, (5160 + 255 / 2) / 15); }
    void ClickQuestionMark() { ClickAt(Main(), (7920 + 255 / 2) / 15, (120 + 255 / 2) / 15); }

    ScriptedDialogs dialogs_;
    RecordingSystemCalls calls_;
    std::unique_ptr<frmViewer> window_;
};

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
