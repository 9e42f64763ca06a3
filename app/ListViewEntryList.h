#pragma once

#include "listing/Windows_win.h"

#include <string>

#include "app/Layout.h"
#include "listing/EntryList.h"

// The entry list as the platform's list view: report view, one column, no header, a check box per
// line. Lines added in a burst are drawn in batches (a visible list view redrawn per insert costs
// milliseconds a line), so the list grows on screen a few times a second while every line is
// still added at once.
class ListViewEntryList final : public EntryList {
public:
    // The timer, on the parent window, that draws the lines added since the last batch.
    static constexpr UINT_PTR kDrawTimer = 0x5649;

    bool Create(HWND parent, Rect rect, int controlId);
    HWND hWnd() const { return hwnd_; }
    // Draws the lines added since the last batch; ends batching once no line came in between.
    void DrawBatch();

    int ListCount() const override;
    std::wstring List(int index) const override;
    bool Selected(int index) const override;
    void SetSelected(int index, bool marked) override;
    int ListIndex() const override;
    void SetListIndex(int index) override;
    void AddItem(const std::wstring& text) override;
    void RemoveItem(int index) override;
    void Clear() override;

private:
    void StartBatch();
    void SetRedraw(bool on);

    HWND hwnd_ = nullptr;
    bool batching_ = false;
    bool addedSinceDraw_ = false;
};
