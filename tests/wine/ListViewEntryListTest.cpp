#include "ListViewEntryList.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/WindowTestSupport.h"

namespace {

// A plain top-level window holding the list, which passes the list's notifications on as the main
// window does.
class ListHost {
public:
    explicit ListHost(ListViewEntryList& list) : list_(list) {
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

    ListViewEntryList& list_;
    HWND hwnd_ = nullptr;
};

class ListViewEntryListTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* line : {L"R:\\RECYCLER", L"R:\\autorun.inf", L"R:\\notas.txt"}) list_.AddItem(line);
        list_.OnClick([this] { clicks_.push_back(list_.ListIndex()); });
        Settle();
    }

    // Lets the list draw its batch of changes, as the user would see it.
    static void Settle() { PumpFor(300); }
    HWND View() const { return list_.hWnd(); }
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

    ListViewEntryList list_;
    ListHost host_{list_};
    std::vector<int> clicks_;  // the current line at each click the list reported
};

TEST_F(ListViewEntryListTest, TheViewShowsTheLinesAndMarksThatTheListHolds) {
    list_.SetSelected(1, true);
    Settle();

    ASSERT_EQ(ListView_GetItemCount(View()), 3);
    EXPECT_EQ(ViewText(0), L"R:\\RECYCLER");
    EXPECT_EQ(ViewText(2), L"R:\\notas.txt");
    EXPECT_FALSE(ViewChecked(0));
    EXPECT_TRUE(ViewChecked(1));
    EXPECT_TRUE(clicks_.empty()) << "a mark the program sets is no click";
}

TEST_F(ListViewEntryListTest, ClickingALineMakesItCurrentAndReportsOneClick) {
    RealClick(OnText(1));

    EXPECT_EQ(list_.ListIndex(), 1);
    EXPECT_EQ(clicks_, std::vector<int>{1});
    EXPECT_FALSE(list_.Selected(1)) << "a click on the text leaves the mark";

    RealClick(OnText(1));
    EXPECT_EQ(clicks_, (std::vector<int>{1, 1})) << "the line already current is reported too";
}

TEST_F(ListViewEntryListTest, ClickingACheckBoxTogglesTheMarkAndReportsOneClick) {
    RealClick(OnCheckBox(2));
    Settle();

    EXPECT_TRUE(list_.Selected(2));
    EXPECT_TRUE(ViewChecked(2));
    EXPECT_EQ(clicks_, std::vector<int>{2});

    PumpFor(::GetDoubleClickTime() + 50);  // a second click, not a double click
    RealClick(OnCheckBox(2));
    EXPECT_FALSE(list_.Selected(2));
}

TEST_F(ListViewEntryListTest, ClickingBelowTheLastLineKeepsTheCurrentLine) {
    RealClick(OnText(1));
    const RECT last = LineRect(2, LVIR_BOUNDS);
    RealClick(ToScreen({last.left, last.bottom + 20, last.right, last.bottom + 30}));

    EXPECT_EQ(list_.ListIndex(), 1);
    EXPECT_EQ(ListView_GetNextItem(View(), -1, LVNI_SELECTED), 1) << "the current line stays shown";
    EXPECT_EQ(clicks_, std::vector<int>{1});
}

TEST_F(ListViewEntryListTest, ArrowKeysMoveTheCurrentLineAndReportEachMove) {
    list_.SetListIndex(0);
    clicks_.clear();

    ::SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);
    ::SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);
    ::SendMessageW(View(), WM_KEYDOWN, VK_DOWN, 0);  // already on the last line: no move

    EXPECT_EQ(list_.ListIndex(), 2);
    EXPECT_EQ(clicks_, (std::vector<int>{1, 2}));
}

TEST_F(ListViewEntryListTest, TheSpaceBarTogglesTheCurrentLinesMarkWithoutAClick) {
    list_.SetListIndex(1);
    clicks_.clear();

    ::SendMessageW(View(), WM_KEYDOWN, VK_SPACE, 0);
    Settle();

    EXPECT_TRUE(list_.Selected(1));
    EXPECT_TRUE(ViewChecked(1));
    EXPECT_TRUE(clicks_.empty());
}

TEST_F(ListViewEntryListTest, SettingListIndexShowsTheLineAndReportsAClickEachTime) {
    list_.SetListIndex(2);
    list_.SetListIndex(2);
    list_.SetListIndex(7);  // outside the list: nothing
    Settle();

    EXPECT_EQ(clicks_, (std::vector<int>{2, 2}));
    EXPECT_EQ(ListView_GetNextItem(View(), -1, LVNI_SELECTED), 2) << "shown with the next batch";
}

TEST_F(ListViewEntryListTest, RemovingLinesMovesTheLaterOnesUpAndKeepsTheCurrentEntry) {
    list_.SetSelected(2, true);
    list_.SetListIndex(2);
    list_.RemoveItem(0);
    Settle();

    EXPECT_EQ(list_.ListCount(), 2);
    EXPECT_EQ(ListView_GetItemCount(View()), 2);
    EXPECT_EQ(ViewText(1), L"R:\\notas.txt");
    EXPECT_TRUE(ViewChecked(1));
    EXPECT_EQ(list_.ListIndex(), 1);

    list_.RemoveItem(1);
    EXPECT_EQ(list_.ListIndex(), -1);
    list_.Clear();
    Settle();
    EXPECT_EQ(ListView_GetItemCount(View()), 0);
}

}  // namespace
