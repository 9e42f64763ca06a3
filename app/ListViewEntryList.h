#pragma once

#include "Win32Api.h"

#include <commctrl.h>

#include <functional>
#include <string>
#include <vector>

#include "Layout.h"
#include "LineTip.h"
#include "EntryList.h"

namespace win32 {
class Subclass;
}

// The entry list as the platform's list view in owner-data mode: report view, one column, no
// header, a check box per line. The lines and their marks live here; the view asks for what it
// draws, so a long list costs little memory and no insert per line. Check marks are toggled here,
// on a click on the check box or the space bar (an owner-data list view never toggles them), and
// shown through the state image, where assistive tools read them.
//
// A line may carry a tip, shown while the pointer rests on it.
//
// Changes are drawn in batches: a visible list view redrawn for each change costs milliseconds a
// line, so while lines change the view's redraw stays off and a timer draws what changed a few
// times a second.
class ListViewEntryList final : public EntryList {
public:
    // The timer that draws the changes in batches, on the list view itself, apart from the timers
    // the list view keeps for its own use; a test fires it with WM_TIMER rather than wait for it.
    static constexpr UINT_PTR kDrawTimer = 0x5649;

    ListViewEntryList() = default;
    ListViewEntryList(const ListViewEntryList&) = delete;
    ListViewEntryList& operator=(const ListViewEntryList&) = delete;

    bool Create(HWND parent, Rect rect, int controlId);
    HWND hWnd() const { return hwnd_; }
    // Where a menu opened from the keyboard belongs, in screen coordinates: the current line, or
    // the list's top left corner when no line is current.
    POINT MenuPoint() const;
    // The list view's notifications, which arrive at its parent (WM_NOTIFY); the answer for them.
    LRESULT OnNotify(const NMHDR& header);
    // Shows, while the pointer rests on a line, the tip that tipFor gives for the line's text.
    void ShowTips(std::function<std::wstring(const std::wstring& line)> tipFor);
    HWND TipWindow() const { return tip_.hWnd(); }

    int ListCount() const override;
    std::wstring List(int index) const override;
    bool Selected(int index) const override;
    void SetSelected(int index, bool marked) override;
    int ListIndex() const override;
    void AddItem(const std::wstring& text) override;
    void RemoveItem(int index) override;
    void Clear() override;
    void ShowAllLines() override;

private:
    struct Line {
        std::wstring text;
        bool marked = false;
    };

    // Our procedure on the list views, to see their keys, mouse and drawing timer.
    static win32::Subclass& ListViews();
    static LRESULT CALLBACK ListViewProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT OnListViewMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT CallListView(UINT message, WPARAM wParam, LPARAM lParam);
    void MakeCurrent(int index) override;
    void OnMouseClick();
    void FollowKeyboard();
    void ToggleMark(int index);
    void FillDisplayInfo(LVITEMW& item) const;
    void ShowCurrent();
    void SyncCount();
    void Changed();
    void DrawBatch();
    void SetRedraw(bool on);

    HWND hwnd_ = nullptr;
    LineTip tip_;
    std::function<std::wstring(const std::wstring& line)> tipFor_;
    std::vector<Line> lines_;
    int current_ = -1;
    int viewCount_ = 0;  // the count the list view was last told
    bool batching_ = false;
    bool changedSinceDraw_ = false;
    bool currentMoved_ = false;   // since the last batch
    bool pressReported_ = false;  // the last press of the left button was reported as a click
};
