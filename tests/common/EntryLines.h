#pragma once

#include <string>
#include <vector>

#include "EntryList.h"

// A list's lines and their marks, in order.
inline std::vector<std::wstring> LinesOf(const EntryList& list) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < list.ListCount(); ++i) lines.push_back(list.List(i));
    return lines;
}

inline std::vector<bool> MarksOf(const EntryList& list) {
    std::vector<bool> marks;
    for (int i = 0; i < list.ListCount(); ++i) marks.push_back(list.Selected(i));
    return marks;
}
