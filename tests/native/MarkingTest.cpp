#include "Marking.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/MemoryEntryList.h"

namespace {

using Marks = std::vector<bool>;

class MarkingTest : public ::testing::Test {
protected:
    void Fill(const Marks& marks) {
        for (size_t i = 0; i < marks.size(); ++i) {
            list_.AddItem(L"E:\\entrada" + std::to_wstring(i));
            list_.SetSelected(static_cast<int>(i), marks[i]);
        }
        list_.OnClick([this] { clicks_.push_back(list_.ListIndex()); });
    }

    MemoryEntryList list_;
    std::vector<int> clicks_;  // the current line at each click reported
};

TEST_F(MarkingTest, AnEmptyListStaysAsItIs) {
    Fill({});
    for (const MarkChange change : {MarkChange::Mark, MarkChange::Unmark, MarkChange::Invert}) {
        ChangeEveryMark(list_, change);
    }
    EXPECT_EQ(list_.ListCount(), 0);
    EXPECT_EQ(list_.ListIndex(), -1);
    EXPECT_TRUE(clicks_.empty());
}

TEST_F(MarkingTest, OneLineIsMarkedUnmarkedAndFlippedAndEndsCurrent) {
    Fill({false});
    ChangeEveryMark(list_, MarkChange::Mark);
    EXPECT_EQ(list_.Marks(), Marks{true});
    ChangeEveryMark(list_, MarkChange::Invert);
    EXPECT_EQ(list_.Marks(), Marks{false});
    ChangeEveryMark(list_, MarkChange::Invert);
    ChangeEveryMark(list_, MarkChange::Unmark);
    EXPECT_EQ(list_.Marks(), Marks{false});
    EXPECT_EQ(list_.ListIndex(), 0);
}

TEST_F(MarkingTest, TheCurrentLineRunsDownTheListThenEndsOnTheFirst) {
    Fill({true, false, true});
    list_.SetListIndex(2);
    clicks_.clear();

    ChangeEveryMark(list_, MarkChange::Mark);

    EXPECT_EQ(clicks_, (std::vector<int>{0, 1, 2, 0}));
    EXPECT_EQ(list_.Marks(), (Marks{true, true, true}));
    EXPECT_EQ(list_.ListIndex(), 0);
}

TEST_F(MarkingTest, InvertingMarksExactlyTheUnmarkedLinesAndTwiceGivesTheMarksBack) {
    const Marks before{true, false, false, true, false};
    Fill(before);

    ChangeEveryMark(list_, MarkChange::Invert);
    EXPECT_EQ(list_.Marks(), (Marks{false, true, true, false, true}));
    ChangeEveryMark(list_, MarkChange::Invert);
    EXPECT_EQ(list_.Marks(), before);
}

TEST_F(MarkingTest, ClearingUnmarksEveryLine) {
    Fill({true, false, true});
    ChangeEveryMark(list_, MarkChange::Unmark);
    EXPECT_EQ(list_.Marks(), (Marks{false, false, false}));
}

TEST_F(MarkingTest, AListThatShrinksDuringAYieldIsNeverSteppedOutOf) {
    Fill({false, false, false, false});
    // The properties box yields on each line; meanwhile the last two lines go.
    list_.OnClick([this] {
        if (list_.ListIndex() == 1) {
            list_.RemoveItem(3);
            list_.RemoveItem(2);
        }
    });

    ChangeEveryMark(list_, MarkChange::Mark);

    EXPECT_EQ(list_.Marks(), (Marks{true, true}));
    EXPECT_EQ(list_.ListIndex(), 0);
}

TEST_F(MarkingTest, AListEmptiedDuringAYieldEndsTheWalkQuietly) {
    Fill({false, false});
    list_.OnClick([this] { list_.Clear(); });

    ChangeEveryMark(list_, MarkChange::Invert);

    EXPECT_EQ(list_.ListCount(), 0);
}

}  // namespace
