#include "ListViewEntryList.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/EntryListContract.h"
#include "support/WindowTestSupport.h"

namespace {

// A plain top-level window holding the list, which passes the list's notifications on as the main
// window does.
class ListHost {
public:
    ListHost() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &ListHost::Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VelquorListHost";
        ::RegisterClassW(&windowClass);
        hwnd_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"", WS_POPUP | WS_VISIBLE, 100, 100,
                                  400, 300, nullptr, nullptr, windowClass.hInstance, this);
        list_.Create(hwnd_, Rect{10, 10, 300, 200}, 1);
    }
    ListHost(const ListHost&) = delete;
    ListHost& operator=(const ListHost&) = delete;
    ~ListHost() { ::DestroyWindow(hwnd_); }

    EntryList& List() { return list_; }
    // Draws the pending batch, then a tick with nothing changed ends the batching.
    void Settle() {
        for (int tick = 0; tick < 2; ++tick) ::SendMessageW(list_.hWnd(), WM_TIMER, ListViewEntryList::kDrawTimer, 0);
        PumpMessages();
    }

    ListViewEntryList list_;

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message == WM_NCCREATE) {
            const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
            ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
        }
        auto* self = reinterpret_cast<ListHost*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
        if (self && message == WM_NOTIFY) return self->list_.OnNotify(*reinterpret_cast<NMHDR*>(lParam));
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }

    HWND hwnd_ = nullptr;
};

}  // namespace

INSTANTIATE_TYPED_TEST_SUITE_P(ListView, EntryListContract, ListHost);

namespace {

// What only the list view does: the user's mouse and keys, and what another process reads of it.
class ListViewEntryListTest : public EntryListContract<ListHost> {
protected:
    HWND View() const { return host_.list_.hWnd(); }
    RECT LineRect(int index, int part) const {
        RECT rect{};
        rect.left = part;
        ::SendMessageW(View(), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        return rect;
    }
    // A screen point on line index: on its text, or on its check box.
    POINT OnText(int index) const { return ToScreen(LineRect(index, LVIR_LABEL)); }
    POINT OnCheckBox(int index) const {
        const RECT line = LineRect(index, LVIR_BOUNDS);
        const RECT label = LineRect(index, LVIR_LABEL);
        return ToScreen({line.left, line.top, label.left, line.bottom});
    }
    POINT ToScreen(RECT rect) const {
        POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        ::ClientToScreen(View(), &point);
        return point;
    }
    // What another process reads: the text and the check box as the list view itself tells them.
    std::wstring ViewText(int index) const {
        wchar_t text[300] = L"";
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = 300;
        ::SendMessageW(View(), LVM_GETITEMTEXTW, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&item));
        return text;
    }
    bool ViewChecked(int index) const { return ListView_GetCheckState(View(), index) != FALSE; }
    int ViewCurrent() const { return ListView_GetNextItem(View(), -1, LVNI_SELECTED); }
};

TEST_F(ListViewEntryListTest, TheViewShowsTheLinesMarksAndCurrentLineThatTheListHolds) {
    List().AddItem(L"F:\\Fotos");
    List().ShowAllLines();
    EXPECT_EQ(ListView_GetItemCount(View()), 4) << "every line at once, before the batch";

    List().SetSelected(2, true);
    List().SetListIndex(2);
    List().RemoveItem(0);
    host_.Settle();

    ASSERT_EQ(ListView_GetItemCount(View()), 3);
    EXPECT_EQ(ViewText(0), L"E:\\autorun.inf");
    EXPECT_EQ(ViewText(1), L"E:\\notas.txt");
    EXPECT_FALSE(ViewChecked(0));
    EXPECT_TRUE(ViewChecked(1));
    EXPECT_EQ(ViewCurrent(), 1);

    List().Clear();
    host_.Settle();
    EXPECT_EQ(ListView_GetItemCount(View()), 0);
}

TEST_F(ListViewEntryListTest, ClickingALineMakesItCurrentAndReportsOneClick) {
    RealClick(OnText(1));

    EXPECT_EQ(List().ListIndex(), 1);
    EXPECT_EQ(clicks_, std::vector<int>{1});
    EXPECT_FALSE(List().Selected(1)) << "a click on the text leaves the mark";

    RealClick(OnText(1));
    EXPECT_EQ(clicks_, (std::vector<int>{1, 1})) << "the line already current is reported too";
}

TEST_F(ListViewEntryListTest, ClickingACheckBoxTogglesTheMarkAndReportsOneClick) {
    RealClick(OnCheckBox(2));
    host_.Settle();

    EXPECT_TRUE(List().Selected(2));
    EXPECT_TRUE(ViewChecked(2));
    EXPECT_EQ(clicks_, std::vector<int>{2});

    // A click elsewhere between the two keeps the second from being a double click.
    RealClick(OnCheckBox(0));
    RealClick(OnCheckBox(2));
    EXPECT_EQ(Marks(), (std::vector<bool>{true, false, false}));
    EXPECT_EQ(clicks_, (std::vector<int>{2, 0, 2}));
}

TEST_F(ListViewEntryListTest, ClickingBelowTheLastLineKeepsTheCurrentLine) {
    RealClick(OnText(1));
    const RECT last = LineRect(2, LVIR_BOUNDS);
    RealClick(ToScreen({last.left, last.bottom + 20, last.right, last.bottom + 30}));

    EXPECT_EQ(List().ListIndex(), 1);
    EXPECT_EQ(ViewCurrent(), 1) << "the current line stays shown";
    EXPECT_EQ(clicks_, std::vector<int>{1});
}

TEST_F(ListViewEntryListTest, ArrowKeysMoveTheCurrentLineAndReportEachMove) {
    List().SetListIndex(0);
    clicks_.clear();

    ::SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);
    ::SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);
    ::SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);  // already on the last line: no move

    EXPECT_EQ(List().ListIndex(), 2);
    EXPECT_EQ(clicks_, (std::vector<int>{1, 2}));
}

TEST_F(ListViewEntryListTest, TheSpaceBarTogglesTheCurrentLinesMarkWithoutAClick) {
    List().SetListIndex(1);
    clicks_.clear();

    ::SendMessageW(View(), WM_KEYDOWN, VK_SPACE, 0);
    host_.Settle();

    EXPECT_TRUE(List().Selected(1));
    EXPECT_TRUE(ViewChecked(1));
    EXPECT_TRUE(clicks_.empty());
}

}  // namespace
