#include "ListViewEntryList.h"

#include <windowsx.h>

#include <algorithm>
#include <utility>

#include "Subclass.h"

namespace {

// A change shows this soon; while changes keep coming, batches follow at the pace below.
constexpr UINT kFirstDrawMs = 20;
constexpr UINT kShortestDrawIntervalMs = 250;
// Drawing a batch takes tens of milliseconds once the list is long (under Wine): the next batch
// waits this many times as long, so drawing never takes more than a small share of a walk.
constexpr UINT kDrawIntervalPerDrawTime = 20;

constexpr UINT kCurrentState = LVIS_SELECTED | LVIS_FOCUSED;

UINT CheckBoxImage(bool marked) { return INDEXTOSTATEIMAGEMASK(marked ? 2 : 1); }

}  // namespace

bool ListViewEntryList::Create(HWND parent, Rect rect, int controlId) {
    hwnd_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
            LVS_SHOWSELALWAYS | LVS_OWNERDATA,
        rect.left, rect.top, rect.width, rect.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), nullptr, nullptr);
    if (!hwnd_) return false;
    ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    // The check boxes are asked of us with each line's text.
    ListView_SetCallbackMask(hwnd_, LVIS_STATEIMAGEMASK);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(hwnd_, 0, &column);
    ListViews().Install(hwnd_, this);
    tip_.Create(hwnd_, [this](int line) {
        return tipFor_ && line < ListCount() ? tipFor_(lines_[static_cast<size_t>(line)].text) : std::wstring();
    });
    return true;
}

void ListViewEntryList::ShowTips(std::function<std::wstring(const std::wstring& line)> tipFor) {
    tipFor_ = std::move(tipFor);
}

POINT ListViewEntryList::MenuPoint() const {
    RECT line{};
    line.left = LVIR_LABEL;
    POINT point{4, 4};
    if (current_ >= 0 && ::SendMessageW(hwnd_, LVM_GETITEMRECT, static_cast<WPARAM>(current_),
                                        reinterpret_cast<LPARAM>(&line))) {
        point = {line.left + 8, line.bottom};
    }
    ::ClientToScreen(hwnd_, &point);
    return point;
}

int ListViewEntryList::ListCount() const { return static_cast<int>(lines_.size()); }

std::wstring ListViewEntryList::List(int index) const { return lines_.at(static_cast<size_t>(index)).text; }

bool ListViewEntryList::Selected(int index) const { return lines_.at(static_cast<size_t>(index)).marked; }

void ListViewEntryList::SetSelected(int index, bool marked) {
    lines_.at(static_cast<size_t>(index)).marked = marked;
    Changed();
}

int ListViewEntryList::ListIndex() const { return current_; }

void ListViewEntryList::MakeCurrent(int index) {
    // Shown with the next batch: moving the list view's selection costs milliseconds under Wine,
    // too much for a walk that makes every line current in turn.
    current_ = index;
    currentMoved_ = true;
    Changed();
}

void ListViewEntryList::AddItem(const std::wstring& text) {
    lines_.push_back({text});
    Changed();
}

void ListViewEntryList::RemoveItem(int index) {
    // The list view learns the new count with the next batch, and its selection follows the
    // current line then: a walk removes lines by the thousand.
    lines_.erase(lines_.begin() + index);
    if (index == current_) current_ = -1;
    if (index < current_) --current_;
    currentMoved_ = true;
    tip_.Forget();
    Changed();
}

void ListViewEntryList::Clear() {
    lines_.clear();
    current_ = -1;
    ListView_DeleteAllItems(hwnd_);
    viewCount_ = 0;
    tip_.Forget();
    Changed();
}

void ListViewEntryList::ShowAllLines() {
    if (batching_) {
        DrawBatch();
    } else {
        SyncCount();
    }
}

LRESULT ListViewEntryList::OnNotify(const NMHDR& header) {
    switch (header.code) {
    case LVN_GETDISPINFOW:
        FillDisplayInfo(reinterpret_cast<NMLVDISPINFOW&>(const_cast<NMHDR&>(header)).item);
        return 0;
    case NM_CLICK:
    case NM_DBLCLK:
        // Wine may report one press twice (at the press and at the release): once is the click.
        if (!std::exchange(pressReported_, true)) OnMouseClick();
        return 0;
    case NM_RCLICK:
        // A right click selects the line under it; the current line stays the one last clicked.
        ShowCurrent();
        return 0;
    case LVN_ODFINDITEMW:
        return -1;  // every line starts with its drive letter: typing to find one would not help
    default:
        return 0;
    }
}

void ListViewEntryList::OnMouseClick() {
    // Where the pointer was when the button went up: the notification's own point is not always
    // filled in under Wine.
    const DWORD at = ::GetMessagePos();
    LVHITTESTINFO hit{};
    hit.pt = {GET_X_LPARAM(at), GET_Y_LPARAM(at)};
    ::ScreenToClient(hwnd_, &hit.pt);
    const int index = ListView_HitTest(hwnd_, &hit);
    if (index < 0 || index >= ListCount()) {
        // Below the last line: the list view let go of the selection, ListIndex does not.
        ShowCurrent();
        return;
    }
    if (hit.flags & LVHT_ONITEMSTATEICON) ToggleMark(index);
    current_ = index;
    ShowCurrent();
    ReportClick();
}

void ListViewEntryList::FollowKeyboard() {
    const int focused = ListView_GetNextItem(hwnd_, -1, LVNI_FOCUSED);
    if (focused < 0 || focused >= ListCount() || focused == current_) {
        ShowCurrent();
        return;
    }
    current_ = focused;
    ShowCurrent();
    ReportClick();
}

void ListViewEntryList::ToggleMark(int index) {
    if (index < 0 || index >= ListCount()) return;
    Line& line = lines_[static_cast<size_t>(index)];
    line.marked = !line.marked;
    if (batching_) {
        changedSinceDraw_ = true;
    } else {
        ListView_RedrawItems(hwnd_, index, index);
    }
}

void ListViewEntryList::FillDisplayInfo(LVITEMW& item) const {
    if (item.iItem < 0 || item.iItem >= ListCount()) return;
    const Line& line = lines_[static_cast<size_t>(item.iItem)];
    if ((item.mask & LVIF_TEXT) && item.pszText && item.cchTextMax > 0) {
        ::lstrcpynW(item.pszText, line.text.c_str(), item.cchTextMax);
    }
    if (item.mask & LVIF_STATE) {
        item.state = (item.state & ~LVIS_STATEIMAGEMASK) | CheckBoxImage(line.marked);
    }
}

// Shows the current line as the list view's one selected and focused line.
void ListViewEntryList::ShowCurrent() {
    SyncCount();
    if (current_ < 0) {
        ListView_SetItemState(hwnd_, -1, 0, kCurrentState);
        return;
    }
    ListView_SetItemState(hwnd_, current_, kCurrentState, kCurrentState);
}

void ListViewEntryList::SyncCount() {
    if (viewCount_ == ListCount()) return;
    ListView_SetItemCountEx(hwnd_, ListCount(), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    viewCount_ = ListCount();
}

void ListViewEntryList::Changed() {
    changedSinceDraw_ = true;
    if (batching_) return;
    batching_ = true;
    SetRedraw(false);
    ::SetTimer(hwnd_, kDrawTimer, kFirstDrawMs, nullptr);
}

void ListViewEntryList::DrawBatch() {
    SyncCount();
    SetRedraw(true);
    if (!std::exchange(changedSinceDraw_, false)) {
        // Nothing changed since the last batch: drawing follows the list as usual again.
        batching_ = false;
        ::KillTimer(hwnd_, kDrawTimer);
        return;
    }
    if (std::exchange(currentMoved_, false)) {
        ShowCurrent();
        if (current_ >= 0) ListView_EnsureVisible(hwnd_, current_, FALSE);
    }
    const ULONGLONG start = ::GetTickCount64();
    ::UpdateWindow(hwnd_);
    SetRedraw(false);
    const auto drawMs = static_cast<UINT>(::GetTickCount64() - start);
    ::SetTimer(hwnd_, kDrawTimer, std::max(kShortestDrawIntervalMs, drawMs * kDrawIntervalPerDrawTime),
               nullptr);
}

void ListViewEntryList::SetRedraw(bool on) {
    ::SendMessageW(hwnd_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) ::InvalidateRect(hwnd_, nullptr, TRUE);
}

win32::Subclass& ListViewEntryList::ListViews() {
    static win32::Subclass listViews(&ListViewEntryList::ListViewProc);
    return listViews;
}

LRESULT CALLBACK ListViewEntryList::ListViewProc(HWND hwnd, UINT message, WPARAM wParam,
                                                 LPARAM lParam) {
    auto* self = static_cast<ListViewEntryList*>(ListViews().OwnerOf(hwnd));
    if (!self) return ListViews().CallReplaced(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        // The list view goes, and its tip with it.
        self->tip_.Destroy();
        self->hwnd_ = nullptr;
        return ListViews().CallReplaced(hwnd, message, wParam, lParam);
    }
    return self->OnListViewMessage(message, wParam, lParam);
}

LRESULT ListViewEntryList::CallListView(UINT message, WPARAM wParam, LPARAM lParam) {
    return ListViews().CallReplaced(hwnd_, message, wParam, lParam);
}

LRESULT ListViewEntryList::OnListViewMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_TIMER && wParam == kDrawTimer) {
        DrawBatch();
        return 0;
    }
    if (message == WM_LBUTTONDOWN || message == WM_LBUTTONDBLCLK) pressReported_ = false;
    if (message == WM_KEYDOWN && wParam == VK_SPACE) {
        ToggleMark(current_);
        return 0;
    }
    if (message >= WM_MOUSEFIRST && message <= WM_MOUSELAST) tip_.Relay(message, wParam, lParam);
    if (message == WM_NOTIFY && tip_.OnNotify(*reinterpret_cast<const NMHDR*>(lParam))) return 0;
    const LRESULT result = CallListView(message, wParam, lParam);
    if (message == WM_MOUSEWHEEL || message == WM_VSCROLL) tip_.Forget();
    // Keys move the focus (arrows, pages, type-ahead); a move is the user's click on that line.
    if (message == WM_KEYDOWN || message == WM_CHAR) FollowKeyboard();
    return result;
}
