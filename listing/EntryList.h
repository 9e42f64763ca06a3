#pragma once

#include <string>

// The check-box list of root entries: one line per entry holding its full path, in the order
// the lines were added. Indexes run from 0; counts have no 16-bit limit.
class EntryList {
public:
    virtual ~EntryList() = default;

    virtual int ListCount() const = 0;
    // The text of line index (0 <= index < ListCount()).
    virtual std::wstring List(int index) const = 0;
    // The check mark of line index.
    virtual bool Selected(int index) const = 0;
    virtual void SetSelected(int index, bool marked) = 0;
    // The current line, -1 when there is none.
    virtual int ListIndex() const = 0;
    // Makes index the current line; the list reports this as a click on the line.
    virtual void SetListIndex(int index) = 0;
    // Appends an unmarked line at the end.
    virtual void AddItem(const std::wstring& text) = 0;
    // Removes line index; later lines move up by one.
    virtual void RemoveItem(int index) = 0;
    // Removes every line and its mark; no line is current afterwards.
    virtual void Clear() = 0;
};
