#pragma once

#include "listing/Windows_win.h"

#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "app/SystemCalls.h"

// The world outside the windows as a test sees it: every message box, folder picker, web page and
// end request is recorded; the message boxes and the picker answer from a script.
class RecordingSystemCalls final : public SystemCalls {
public:
    struct Message {
        HWND owner;
        std::wstring text;
        std::wstring title;
        UINT style;
    };
    struct Picker {
        std::wstring startFolder;
        HWND owner;
        std::wstring title;
    };
    struct Opened {
        HWND owner;
        std::wstring address;
    };

    int ShowMessage(HWND owner, const std::wstring& text, const wchar_t* title, UINT style) override {
        messages.push_back({owner, text, title, style});
        if ((style & MB_TYPEMASK) == MB_OK) return IDOK;
        if (onQuestion) onQuestion();
        if (answers.empty()) {
            ADD_FAILURE() << "a question nobody scripted an answer for";
            return IDNO;
        }
        const int answer = answers.front();
        answers.pop_front();
        return answer;
    }
    std::wstring ChooseFolder(const std::wstring& startFolder, HWND owner,
                              const std::wstring& title) override {
        pickers.push_back({startFolder, owner, title});
        return chosenFolder;
    }
    void OpenWebPage(HWND owner, const wchar_t* address) override { opened.push_back({owner, address}); }
    void EndProgram() override {
        ++endRequests;
        if (onEnd) onEnd();
    }

    std::vector<Message> messages;
    std::deque<int> answers;  // IDYES or IDNO, for the questions to come
    std::function<void()> onQuestion;  // run as each question is asked
    std::vector<Picker> pickers;
    std::wstring chosenFolder;
    std::vector<Opened> opened;
    int endRequests = 0;
    std::function<void()> onEnd;
};
