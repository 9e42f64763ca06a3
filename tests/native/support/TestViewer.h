#pragma once

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

#include "MemoryEntryList.h"
#include "Viewer.h"
#include "common/ManualClock.h"
#include "common/ScriptedDialogs.h"

// The main window's parts as plain memory, for the walks of the portable core: texts are kept,
// yields counted (with an optional action run inside each, the user acting while a walk waits),
// the dialogs answered from a script and recorded, the clock moved by hand.
class TestViewer : private MessagePump, private UserFormats {
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
        void BringToFront() override {}
        void Show() override { visible = true; }
        void Hide() override { visible = false; }
        bool Visible() const override { return visible; }
        bool visible = false;
    };

    explicit TestViewer(FileSystemService& files)
        : viewer{files,   lstViewer, *this,   lblStatus, txtProp, caption,
                 picCopy, lblCopySt, dialogs, dialogs,   *this,   clock} {}
    TestViewer(const TestViewer&) = delete;
    TestViewer& operator=(const TestViewer&) = delete;

    MemoryEntryList lstViewer;
    MemoryText lblStatus{L"(design-time caption)"};
    MemoryText txtProp;
    MemoryText caption{L"Velquor"};
    Panel picCopy;
    MemoryText lblCopySt;
    ScriptedDialogs dialogs;
    ManualClock clock;
    Viewer viewer;

    int yields = 0;
    std::function<void()> duringYield;
    std::wstring decimalSeparator = L".";

private:
    void DoEvents() override {
        ++yields;
        if (duringYield) duringYield();
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
