#include "ReinfectionWatch.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PosixFileSystemService.h"
#include "ReinfectionAlarm.h"
#include "common/ManualClock.h"
#include "common/ShellLinkBuilder.h"
#include "support/ForwardingFileSystemService.h"
#include "support/TempTree.h"
#include "support/TestViewer.h"

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
    // The Wine suite writes an ordinary file and a shortcut through the window.
    const Change changes[] = {
        {"an entry removed", {kNotes}, false},
        {"a hidden script written", {kNotes, kDocuments, kVirus}, true},
        {"a folder made hidden", {kNotes, kHiddenDocuments}, true},
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

// Each read of a root takes a second of the window's clock.
class SlowRoots final : public ForwardingFileSystemService {
public:
    using ForwardingFileSystemService::ForwardingFileSystemService;
    std::error_code ForEachRootEntry(const std::wstring& drive, const RootVisitor& visit) override {
        ++reads;
        clock->Advance(std::chrono::seconds(1));
        return ForwardingFileSystemService::ForEachRootEntry(drive, visit);
    }
    ManualClock* clock = nullptr;
    int reads = 0;
};

TEST(ReinfectionAlarmTest, ARootNoticedAgainRestsFourTimesItsReadAndIsThenReadAndJudged) {
    TempTree tree;
    tree.File("e/notas.txt", "hola");
    posix::FileSystemService stick({{L"E:", (tree / "e").string(), DriveKind::Removable}});
    SlowRoots files(stick);
    TestViewer window(files);
    files.clock = &window.clock;
    RootListing listing(window.viewer);
    listing.Show(Listed::FoldersThenFiles);
    ReinfectionAlarm alarm(window.viewer, listing);
    ASSERT_EQ(alarm.Settle(), std::vector<std::wstring>{L"E:"});

    alarm.Noticed(L"E:");
    alarm.Look();
    const int reads = files.reads;
    tree.File("e/Documentos.lnk", std::string(kLink.launchBytes.begin(), kLink.launchBytes.end()));
    alarm.Noticed(L"E:");
    alarm.Look();
    EXPECT_EQ(files.reads, reads) << "read again within its rest";
    ASSERT_EQ(alarm.NextLook(), window.clock.Now() + std::chrono::seconds(4));

    window.clock.Advance(std::chrono::seconds(4));
    alarm.Look();
    ASSERT_EQ(window.dialogs.messages.size(), 1u);
    EXPECT_NE(window.dialogs.messages[0].text.find(L"E:\\Documentos.lnk"), std::wstring::npos);
    EXPECT_FALSE(alarm.NextLook());
}

}  // namespace
