#include <gtest/gtest.h>

#include "WalkState.h"
#include "support/MemoryEntryList.h"

namespace {

class ClickReportTest : public ::testing::Test {
protected:
    void SetUp() override {
        for (const wchar_t* line : {L"E:\\a", L"E:\\b", L"E:\\c"}) list_.AddItem(line);
        list_.OnClick([this] { clicks_.push_back(list_.ListIndex()); });
    }

    MemoryEntryList list_;
    std::vector<int> clicks_;  // the current line at each click reported
};

TEST_F(ClickReportTest, SettingListIndexReportsOneClickEvenOnTheCurrentLine) {
    list_.SetListIndex(1);
    list_.SetListIndex(1);
    list_.SetListIndex(0);

    EXPECT_EQ(clicks_, (std::vector<int>{1, 1, 0}));
}

TEST_F(ClickReportTest, AnIndexOutsideTheListChangesNothingAndReportsNothing) {
    list_.SetListIndex(2);
    list_.SetListIndex(3);
    list_.SetListIndex(-1);

    EXPECT_EQ(list_.ListIndex(), 2);
    EXPECT_EQ(clicks_, std::vector<int>{2});
}

TEST_F(ClickReportTest, MarksSetByTheProgramAreNoClicks) {
    list_.SetSelected(0, true);
    list_.SetSelected(0, false);

    EXPECT_TRUE(clicks_.empty());
}

TEST_F(ClickReportTest, RemovingLinesKeepsTheCurrentLineOnItsEntry) {
    list_.SetListIndex(2);
    list_.RemoveItem(0);
    EXPECT_EQ(list_.List(list_.ListIndex()), L"E:\\c");

    list_.RemoveItem(list_.ListIndex());
    EXPECT_EQ(list_.ListIndex(), -1);
}

TEST(WalkStateTest, ASecondWalkIsRefusedUntilTheFirstEnds) {
    WalkState walk;
    {
        const auto first = walk.TryBegin();
        ASSERT_TRUE(first.has_value());
        EXPECT_FALSE(walk.TryBegin().has_value());
        EXPECT_FALSE(walk.TryBegin().has_value()) << "a refused walk must not end the running one";
    }
    EXPECT_TRUE(walk.TryBegin().has_value());
}

}  // namespace
