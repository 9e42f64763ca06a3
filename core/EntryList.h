#pragma once

#include <functional>
#include <string>

// The check-box list of root entries: one line per entry holding its full path, in the order
// the lines were added. Indexes run from 0; counts have no 16-bit limit.
class EntryList {
public:
    virtual ~EntryList() = default;

    // lstViewer_Click: called once for every click the list reports, that is when the user clicks
    // a line or its check box, moves the current line with the keyboard, or a command sets
    // ListIndex (also to the line already current). Never for a mark the program sets.
    void OnClick(std::function<void()> lstViewer_Click) { click_ = std::move(lstViewer_Click); }

    virtual int ListCount() const = 0;
    // The text of line index (0 <= index < ListCount()).
    virtual std::wstring List(int index) const = 0;
    // The check mark of line index.
    virtual bool Selected(int index) const = 0;
    virtual void SetSelected(int index, bool marked) = 0;
    // The line last clicked or moved to, -1 when there is none.
    virtual int ListIndex() const = 0;
    // Makes index the current line and reports a click; an index outside the list does nothing.
    void SetListIndex(int index) {
        if (index < 0 || index >= ListCount()) return;
        MakeCurrent(index);
        ReportClick();
    }
    // Appends an unmarked line at the end.
    virtual void AddItem(const std::wstring& text) = 0;
    // Removes line index; later lines move up by one. Removing the current line leaves none.
    virtual void RemoveItem(int index) = 0;
    // Removes every line and its mark; no line is current afterwards.
    virtual void Clear() = 0;
    // Hands every line the list holds to what shows it, at once: a view may draw its changes in
    // batches, and a count written elsewhere must never run ahead of the lines shown.
    virtual void ShowAllLines() = 0;

protected:
    // Makes line index (inside the list) the current line, without reporting it.
    virtual void MakeCurrent(int index) = 0;
    void ReportClick() const {
        if (click_) click_();
    }

private:
    std::function<void()> click_;
};
