#pragma once

#include "Win32Api.h"

#include "Viewer.h"

// The roles the walks see, played by real controls.

// A window's text as a TextControl: a control's caption, or a top-level window's title.
class WindowText final : public TextControl {
public:
    void Attach(HWND window) { window_ = window; }
    std::wstring Text() const override {
        std::wstring text(static_cast<size_t>(::GetWindowTextLengthW(window_)) + 1, L'\0');
        text.resize(static_cast<size_t>(
            ::GetWindowTextW(window_, text.data(), static_cast<int>(text.size()))));
        return text;
    }
    void SetText(const std::wstring& text) override { ::SetWindowTextW(window_, text.c_str()); }

private:
    HWND window_ = nullptr;
};

// A control's text that may change many times a second (a walk shows each line's facts in turn):
// the first change shows at once, later ones at most every kPaceMs, so that drawing the control
// never holds a walk up; the last text always shows. The owner passes on its timer.
class PacedText final : public TextControl {
public:
    static constexpr UINT kPaceMs = 50;

    void Attach(HWND control, HWND timerOwner, UINT_PTR timerId) {
        control_.Attach(control);
        timerOwner_ = timerOwner;
        timerId_ = timerId;
    }
    std::wstring Text() const override { return text_; }
    void SetText(const std::wstring& text) override {
        text_ = text;
        if (waiting_) return;
        Show();
        waiting_ = true;
        ::SetTimer(timerOwner_, timerId_, kPaceMs, nullptr);
    }
    void OnTimer() {
        if (shown_ != text_) {
            Show();
            return;
        }
        waiting_ = false;
        ::KillTimer(timerOwner_, timerId_);
    }

private:
    void Show() {
        control_.SetText(text_);
        shown_ = text_;
    }

    WindowText control_;
    HWND timerOwner_ = nullptr;
    UINT_PTR timerId_ = 0;
    std::wstring text_;
    std::wstring shown_;
    bool waiting_ = false;
};
