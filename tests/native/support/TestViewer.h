#pragma once

#include <cstdio>
#include <deque>
#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "listing/Viewer.h"
#include "MemoryEntryList.h"

// The main window's parts as plain memory, for the walks of the portable core: texts are kept,
// yields counted (with an optional action run inside each, the user acting while a walk waits),
// message boxes and the folder picker answered from a script and recorded.
class TestViewer : private MessagePump, private MessageBoxes, private FolderChooser, private UserFormats {
public:
    class MemoryText final : public TextControl {
    public:
        explicit MemoryText(std::wstring initial = {}) : text_(std::move(initial)) {}
        std::wstring Text() const override { return text_; }
        void SetText(const std::wstring& text) override {
            text_ = text;
            history.push_back(text);
        }
        std::vector<std::wstring> history;  // every text set, in order

    private:
        std::wstring text_;
    };

    class Panel final : public ProgressPanel {
    public:
        void BringToFront() override { ++raised; }
        void Show() override { visible = true; }
        void Hide() override { visible = false; }
        bool Visible() const override { return visible; }
        bool visible = false;
        int raised = 0;
    };

    struct Shown {
        std::wstring text;
        bool question;
    };

    explicit TestViewer(FileSystemService& files) : viewer{files,   lstViewer, *this,     lblStatus, txtProp,
                                                           caption, picCopy,   lblCopySt, *this,     *this,
                                                           *this} {}
    TestViewer(const TestViewer&) = delete;
    TestViewer& operator=(const TestViewer&) = delete;

    MemoryEntryList lstViewer;
    MemoryText lblStatus{L"(design-time caption)"};
    MemoryText txtProp;
    MemoryText caption{L"Velquor"};
    Panel picCopy;
    MemoryText lblCopySt;
    Viewer viewer;

    int yields = 0;
    std::function<void()> duringYield;
    std::vector<Shown> messages;       // every message box shown
    std::deque<bool> answers;          // the answers to the Yes/No questions still to come
    std::wstring chosenFolder;         // what the folder picker gives back
    std::vector<std::wstring> pickerTitles;
    std::wstring decimalSeparator = L".";

private:
    void DoEvents() override {
        ++yields;
        if (duringYield) duringYield();
    }
    void Warn(const std::wstring& text) override { messages.push_back({text, false}); }
    bool AskYesNo(const std::wstring& text) override {
        messages.push_back({text, true});
        if (answers.empty()) {
            ADD_FAILURE() << "a question nobody scripted an answer for";
            return false;
        }
        const bool yes = answers.front();
        answers.pop_front();
        return yes;
    }
    std::wstring ChooseFolder(const std::wstring&, const std::wstring& title) override {
        pickerTitles.push_back(title);
        return chosenFolder;
    }
    std::wstring DecimalSeparator() const override { return decimalSeparator; }
    std::optional<std::wstring> ShortDate(const LocalDateTime& t) const override {
        return Format(L"%02d/%02d/%04d", t.day, t.month, t.year);
    }
    std::optional<std::wstring> LongTime(const LocalDateTime& t) const override {
        return Format(L"%d:%02d:%02d", t.hour, t.minute, t.second);
    }
    static std::wstring Format(const wchar_t* pattern, int a, int b, int c) {
        wchar_t text[32];
        std::swprintf(text, 32, pattern, a, b, c);
        return text;
    }
};
