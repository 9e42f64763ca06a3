#pragma once

// What every EntryList does, run against each implementation. An instantiation supplies a Host
// type that holds the list:
//
//   EntryList& List();
//   void Settle();  // lets the list show its pending changes, as the user would see them
//
// The click report is recorded as the current line at each click.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "EntryList.h"
#include "common/EntryLines.h"

template <class Host> class EntryListContract : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* line : {L"E:\\RECYCLER", L"E:\\autorun.inf", L"E:\\notas.txt"}) List().AddItem(line);
        List().OnClick([this] { clicks_.push_back(List().ListIndex()); });
        host_.Settle();
    }

    EntryList& List() { return host_.List(); }
    std::vector<std::wstring> Lines() { return LinesOf(List()); }
    std::vector<bool> Marks() { return MarksOf(List()); }

    Host host_;
    std::vector<int> clicks_;
};

TYPED_TEST_SUITE_P(EntryListContract);

TYPED_TEST_P(EntryListContract, LinesKeepTheOrderAddedStartUnmarkedAndNoneIsCurrent) {
    this->List().AddItem(L"F:\\Fotos");
    this->host_.Settle();

    EXPECT_EQ(this->Lines(), (std::vector<std::wstring>{L"E:\\RECYCLER", L"E:\\autorun.inf", L"E:\\notas.txt",
                                                        L"F:\\Fotos"}));
    EXPECT_EQ(this->Marks(), (std::vector<bool>{false, false, false, false}));
    EXPECT_EQ(this->List().ListIndex(), -1);
}

TYPED_TEST_P(EntryListContract, MarksSetByTheProgramStayOnTheirLineAndAreNoClicks) {
    this->List().SetSelected(1, true);
    this->List().SetSelected(2, true);
    this->List().SetSelected(2, false);
    this->host_.Settle();

    EXPECT_EQ(this->Marks(), (std::vector<bool>{false, true, false}));
    EXPECT_TRUE(this->clicks_.empty());
}

TYPED_TEST_P(EntryListContract, SettingListIndexReportsAClickEachTimeAndOutsideTheListNothing) {
    for (const int index : {2, 2, 7, -1, 3, 0}) {
        this->List().SetListIndex(index);
        this->host_.Settle();
    }

    EXPECT_EQ(this->clicks_, (std::vector<int>{2, 2, 0})) << "the line is current when the click is reported";
    EXPECT_EQ(this->List().ListIndex(), 0);
}

TYPED_TEST_P(EntryListContract, RemovingALineMovesTheLaterOnesUpAndTheCurrentLineFollowsItsEntry) {
    struct Case {
        int current;
        int removed;
        int currentAfter;  // -1: none
    };
    for (const Case c : {Case{2, 0, 1}, Case{0, 2, 0}, Case{1, 1, -1}}) {
        SCOPED_TRACE(testing::Message() << "current " << c.current << ", removed " << c.removed);
        this->List().Clear();
        for (const wchar_t* line : {L"E:\\a", L"E:\\b", L"E:\\c"}) this->List().AddItem(line);
        this->List().SetSelected(2, true);
        this->List().SetListIndex(c.current);
        this->clicks_.clear();

        this->List().RemoveItem(c.removed);
        this->host_.Settle();

        std::vector<std::wstring> left{L"E:\\a", L"E:\\b", L"E:\\c"};
        std::vector<bool> marks{false, false, true};
        left.erase(left.begin() + c.removed);
        marks.erase(marks.begin() + c.removed);
        EXPECT_EQ(this->Lines(), left);
        EXPECT_EQ(this->Marks(), marks);
        EXPECT_EQ(this->List().ListIndex(), c.currentAfter);
        EXPECT_TRUE(this->clicks_.empty());
    }
}

TYPED_TEST_P(EntryListContract, ClearRemovesEveryLineAndMarkAndLeavesNoCurrentLine) {
    this->List().SetSelected(0, true);
    this->List().SetListIndex(0);
    this->clicks_.clear();

    this->List().Clear();
    this->host_.Settle();
    EXPECT_EQ(this->List().ListCount(), 0);
    EXPECT_EQ(this->List().ListIndex(), -1);

    this->List().AddItem(L"E:\\RECYCLER");
    this->host_.Settle();
    EXPECT_EQ(this->Marks(), std::vector<bool>{false}) << "the mark went with its line";
    EXPECT_TRUE(this->clicks_.empty());
}

TYPED_TEST_P(EntryListContract, CountsGoBeyondSixteenBits) {
    constexpr int kLines = 40000;
    for (int i = this->List().ListCount(); i < kLines; ++i) this->List().AddItem(L"E:\\f" + std::to_wstring(i));
    this->List().SetListIndex(kLines - 1);
    this->List().SetSelected(kLines - 1, true);
    this->host_.Settle();

    EXPECT_EQ(this->List().ListCount(), kLines);
    EXPECT_EQ(this->List().List(kLines - 1), L"E:\\f39999");
    EXPECT_EQ(this->clicks_, std::vector<int>{kLines - 1});
    EXPECT_TRUE(this->List().Selected(kLines - 1));
}

REGISTER_TYPED_TEST_SUITE_P(EntryListContract, LinesKeepTheOrderAddedStartUnmarkedAndNoneIsCurrent,
                            MarksSetByTheProgramStayOnTheirLineAndAreNoClicks,
                            SettingListIndexReportsAClickEachTimeAndOutsideTheListNothing,
                            RemovingALineMovesTheLaterOnesUpAndTheCurrentLineFollowsItsEntry,
                            ClearRemovesEveryLineAndMarkAndLeavesNoCurrentLine, CountsGoBeyondSixteenBits);
