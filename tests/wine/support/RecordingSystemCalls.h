#pragma once

#include "Win32Api.h"

#include <functional>
#include <string>
#include <vector>

#include "SystemCalls.h"

// The web page and the end of the program as a test sees them: each request is recorded.
class RecordingSystemCalls final : public SystemCalls {
public:
    struct Opened {
        HWND owner;
        std::wstring address;
    };

    void OpenWebPage(HWND owner, const wchar_t* address) override { opened.push_back({owner, address}); }
    void EndProgram() override {
        ++endRequests;
        if (onEnd) onEnd();
    }

    std::vector<Opened> opened;
    int endRequests = 0;
    std::function<void()> onEnd;
};
