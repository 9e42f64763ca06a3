#pragma once

#include <string>

// What the long walks need from the main window besides its entry list.
class ViewerWindow {
public:
    virtual ~ViewerWindow() = default;

    // Lets the window handle the messages waiting at this moment, then returns.
    virtual void DoEvents() = 0;
    // The caption of the status label lblStatus.
    virtual void SetStatusText(const std::wstring& text) = 0;
};
