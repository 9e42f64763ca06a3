#pragma once

#include <functional>
#include <string>

#include "listing/ViewerWindow.h"

// The window services as a test sees them: the status text, the yields counted, and an optional
// action run inside a yield (the user clicking while a walk is under way).
class RecordingWindow final : public ViewerWindow {
public:
    void DoEvents() override {
        ++yields;
        if (duringYield) duringYield();
    }
    void SetStatusText(const std::wstring& text) override { status = text; }

    std::wstring status = L"(design-time caption)";
    int yields = 0;
    std::function<void()> duringYield;
};
