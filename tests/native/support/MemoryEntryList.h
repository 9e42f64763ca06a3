#pragma once

#include <string>
#include <vector>

#include "EntryList.h"
#include "common/EntryLines.h"

// The entry list as plain memory.
class MemoryEntryList final : public EntryList {
public:
    int ListCount() const override { return static_cast<int>(lines_.size()); }
    std::wstring List(int index) const override { return lines_.at(index).text; }
    bool Selected(int index) const override { return lines_.at(index).marked; }
    void SetSelected(int index, bool marked) override { lines_.at(index).marked = marked; }
    int ListIndex() const override { return current_; }
    void AddItem(const std::wstring& text) override { lines_.push_back({text, false}); }
    void RemoveItem(int index) override {
        lines_.erase(lines_.begin() + index);
        if (index == current_) current_ = -1;
        if (index < current_) --current_;
    }
    void Clear() override {
        lines_.clear();
        current_ = -1;
    }
    void ShowAllLines() override {}

    // The user clicking line index, or moving to it with the keyboard.
    void UserClicks(int index) {
        current_ = index;
        ReportClick();
    }

    // The user ticking the check boxes of the lines that hold these texts.
    void Mark(const std::vector<std::wstring>& texts) {
        for (Line& line : lines_) {
            for (const auto& text : texts) {
                if (line.text == text) line.marked = true;
            }
        }
    }

    std::vector<std::wstring> Lines() const { return LinesOf(*this); }
    std::vector<bool> Marks() const { return MarksOf(*this); }

private:
    void MakeCurrent(int index) override { current_ = index; }

    struct Line {
        std::wstring text;
        bool marked;
    };
    std::vector<Line> lines_;
    int current_ = -1;
};
