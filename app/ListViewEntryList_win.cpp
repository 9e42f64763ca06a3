#include "app/ListViewEntryList.h"

#include <commctrl.h>


#include <algorithm>
#include <utility>

namespace {

constexpr UINT kShortestDrawIntervalMs = 250;
// Drawing a batch takes tens of milliseconds once the list is long (under Wine): the next batch
// waits this many times as long, so drawing never takes more than a small share of a listing.
constexpr UINT kDrawIntervalPerDrawTime = 20;

}  // namespace

bool ListViewEntryList::Create(HWND parent, Rect rect, int controlId) {
    hwnd_ = ::CreateWindowExW(
        WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
        WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_NOCOLUMNHEADER | LVS_SINGLESEL |
            LVS_SHOWSELALWAYS,
        rect.left, rect.top, rect.width, rect.height, parent,
        reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)), nullptr, nullptr);
    if (!hwnd_) return false;
    ListView_SetExtendedListViewStyle(hwnd_, LVS_EX_CHECKBOXES | LVS_EX_FULLROWSELECT);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    column.cx = client.right - ::GetSystemMetrics(SM_CXVSCROLL);
    ListView_InsertColumn(hwnd_, 0, &column);
    return true;
}

int ListViewEntryList::ListCount() const { return ListView_GetItemCount(hwnd_); }

std::wstring ListViewEntryList::List(int index) const {
    // The list view cannot say how long a text is: grow the buffer until the text fits.
    std::wstring text(256, L'\0');
    for (;;) {
        LVITEMW item{};
        item.iSubItem = 0;
        item.pszText = text.data();
        item.cchTextMax = static_cast<int>(text.size());
        const auto length = static_cast<size_t>(
            ::SendMessageW(hwnd_, LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item)));
        if (length + 1 < text.size()) {
            text.resize(length);
            return text;
        }
        text.resize(text.size() * 2);
    }
}

bool ListViewEntryList::Selected(int index) const {
    return ListView_GetCheckState(hwnd_, static_cast<UINT>(index)) != FALSE;
}

void ListViewEntryList::SetSelected(int index, bool marked) {
    ListView_SetCheckState(hwnd_, static_cast<UINT>(index), marked ? TRUE : FALSE);
}

int ListViewEntryList::ListIndex() const {
    return ListView_GetNextItem(hwnd_, -1, LVNI_SELECTED);
}

void ListViewEntryList::SetListIndex(int index) {
    ListView_SetItemState(hwnd_, index, LVIS_FOCUSED | LVIS_SELECTED, LVIS_FOCUSED | LVIS_SELECTED);
    ListView_EnsureVisible(hwnd_, index, FALSE);
}

void ListViewEntryList::AddItem(const std::wstring& text) {
    StartBatch();
    LVITEMW item{};
    item.mask = LVIF_TEXT;
    item.iItem = ListCount();
    item.pszText = const_cast<wchar_t*>(text.c_str());
    ListView_InsertItem(hwnd_, &item);
    addedSinceDraw_ = true;
}

void ListViewEntryList::RemoveItem(int index) { ListView_DeleteItem(hwnd_, index); }

void ListViewEntryList::Clear() { ListView_DeleteAllItems(hwnd_); }

void ListViewEntryList::StartBatch() {
    if (batching_) return;
    batching_ = true;
    SetRedraw(false);
    ::SetTimer(::GetParent(hwnd_), kDrawTimer, kShortestDrawIntervalMs, nullptr);
}

void ListViewEntryList::DrawBatch() {
    if (!batching_) return;
    SetRedraw(true);
    if (std::exchange(addedSinceDraw_, false)) {
        const ULONGLONG start = ::GetTickCount64();
        ::UpdateWindow(hwnd_);
        SetRedraw(false);
        const auto drawMs = static_cast<UINT>(::GetTickCount64() - start);
        ::SetTimer(::GetParent(hwnd_), kDrawTimer,
                   std::max(kShortestDrawIntervalMs, drawMs * kDrawIntervalPerDrawTime), nullptr);
        return;
    }
    batching_ = false;
    ::KillTimer(::GetParent(hwnd_), kDrawTimer);
}

void ListViewEntryList::SetRedraw(bool on) {
    ::SendMessageW(hwnd_, WM_SETREDRAW, on ? TRUE : FALSE, 0);
    if (on) ::InvalidateRect(hwnd_, nullptr, TRUE);
}
