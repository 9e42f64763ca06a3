#pragma once

#include <string>
#include <vector>

#include "listing/EntryList.h"

// The entry list as plain memory, recording the clicks that setting ListIndex reports.
class MemoryEntryList final : public EntryList {
public:
    int ListCount() const override { return static_cast<int>(lines_.size()); }
    std::wstring List(int index) const override { return lines_.at(index).text; }
    bool Selected(int index) const override { return lines_.at(index).marked; }
    void SetSelected(int index, bool marked) override { lines_.at(index).marked = marked; }
    int ListIndex() const override { return current_; }
    void SetListIndex(int index) override {
        current_ = index;
        ++clicks;
    }
    void AddItem(const std::wstring& text) override { lines_.push_back({text, false}); }
    void RemoveItem(int index) override {
        lines_.erase(lines_.begin() + index);
        if (current_ >= ListCount()) current_ = -1;
    }
    void Clear() override {
        lines_.clear();
        current_ = -1;
    }

    std::vector<std::wstring> Lines() const {
        std::vector<std::wstring> texts;
        for (const auto& line : lines_) texts.push_back(line.text);
        return texts;
    }

    int clicks = 0;

private:
    struct Line {
        std::wstring text;
        bool marked;
    };
    std::vector<Line> lines_;
    int current_ = -1;
};
