#include "ReinfectionWatch.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/ManualClock.h"
#include "common/ShellLinkBuilder.h"

namespace {

using attributes::kFolder;
using attributes::kHidden;
using attributes::kSystem;

const RootItem kNotes{L"notas.txt", 0, {}};
const RootItem kDocuments{L"Documentos", kFolder, {}};
const RootItem kHiddenDocuments{L"Documentos", kFolder | kHidden | kSystem, {}};
const RootItem kLink{L"Documentos.lnk", 0, shell_link::Builder().LocalPath("C:\\Windows\\System32\\cmd.exe").Bytes()};
const RootItem kVirus{L"x.vbs", kHidden, {}};

class ReinfectionWatchTest : public ::testing::Test {
protected:
    ReinfectionWatchTest() { watch_.Settle(L"E:", {kNotes, kDocuments}); }

    ManualClock clock_;
    ReinfectionWatch watch_{clock_};
};

TEST_F(ReinfectionWatchTest, WhatTheRulesJudgeOrWhatIsHiddenIsToldAndNothingElse) {
    struct Change {
        const char* what;
        std::vector<RootItem> root;
        bool told;
    };
    // The Wine suite writes a shortcut, an ordinary file and hides a folder through the window.
    const Change changes[] = {
        {"an entry removed", {kNotes}, false},
        {"a hidden script written", {kNotes, kDocuments, kVirus}, true},
        {"the system's own file hidden", {kNotes, kDocuments, {L"desktop.ini", kHidden, {}}}, false},
    };
    for (const Change& change : changes) {
        SCOPED_TRACE(change.what);
        ReinfectionWatch watch(clock_);
        watch.Settle(L"E:", {kNotes, kDocuments});
        EXPECT_EQ(watch.Changed(L"E:", change.root).has_value(), change.told);
    }
}

TEST_F(ReinfectionWatchTest, AWarningNamesUpToThreeEntriesAndHowManyMore) {
    ReinfectionWatch many(clock_);
    many.Settle(L"F:", {});
    const auto told = many.Changed(L"F:", {kLink, kVirus, kHiddenDocuments, {L"y.js", kSystem, {}}, {L"z.exe", kHidden, {}}});
    ASSERT_TRUE(told);
    EXPECT_NE(told->find(L"(F:\\Documentos.lnk, F:\\x.vbs, F:\\y.js y 1 más)"), std::wstring::npos) << *told;
}

TEST_F(ReinfectionWatchTest, ADriveWarnsOnceAMinuteAndWhatCameMeanwhileIsToldAfter) {
    ASSERT_TRUE(watch_.Changed(L"E:", {kNotes, kDocuments, kLink}));
    EXPECT_FALSE(watch_.Changed(L"E:", {kNotes, kDocuments, kLink})) << "what was told is settled";

    clock_.Advance(std::chrono::seconds(30));
    EXPECT_FALSE(watch_.Changed(L"E:", {kNotes, kDocuments, kLink, kVirus})) << "within the minute";
    EXPECT_EQ(watch_.QuietUntil(L"E:"), clock_.Now() + std::chrono::seconds(30));

    clock_.Advance(std::chrono::seconds(30));
    EXPECT_TRUE(watch_.Changed(L"E:", {kNotes, kDocuments, kLink, kVirus}));
}

}  // namespace
