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

// The window's watch over a stick E: holding one file, listed.
class ReinfectionAlarmTest : public ::testing::Test {
protected:
    ReinfectionAlarmTest() {
        tree_.File("e/notas.txt", "hola");
        files_.clock = &window_.clock;
        listing_.Show(Listed::FoldersThenFiles);
    }
    void WriteLink() { tree_.File("e/Documentos.lnk", std::string(kLink.launchBytes.begin(), kLink.launchBytes.end())); }

    TempTree tree_;
    posix::FileSystemService stick_{{{L"E:", (tree_ / "e").string(), DriveKind::Removable}}};
    SlowRoots files_{stick_};
    TestViewer window_{files_};
    RootListing listing_{window_.viewer};
    ReinfectionAlarm alarm_{window_.viewer, listing_};
};

TEST_F(ReinfectionAlarmTest, ARootNoticedAgainRestsFourTimesItsReadAndIsThenReadAndJudged) {
    ASSERT_EQ(alarm_.Settle(), std::vector<std::wstring>{L"E:"});

    alarm_.Noticed(L"E:");
    alarm_.Look();
    const int reads = files_.reads;
    WriteLink();
    alarm_.Noticed(L"E:");
    alarm_.Look();
    EXPECT_EQ(files_.reads, reads) << "read again within its rest";
    ASSERT_EQ(alarm_.NextLook(), window_.clock.Now() + std::chrono::seconds(4));

    window_.clock.Advance(std::chrono::seconds(4));
    alarm_.Look();
    ASSERT_EQ(window_.dialogs.messages.size(), 1u);
    EXPECT_NE(window_.dialogs.messages[0].text.find(L"E:\\Documentos.lnk"), std::wstring::npos);
    EXPECT_FALSE(alarm_.NextLook());
}

// A root of many thousand entries takes a second to read: settling reads the roots once after a
// listing, and otherwise only those of the drives changed, as a copy into E: does.
TEST_F(ReinfectionAlarmTest, SettlingReadsARootOnlyAfterAListingOrAChangeOfTheProgramsOwn) {
    const int listed = files_.reads;
    alarm_.Settle();
    alarm_.Settle();
    EXPECT_EQ(files_.reads, listed + 1);

    WriteLink();
    alarm_.Settle({L"E:"});
    EXPECT_EQ(files_.reads, listed + 2);
    alarm_.Noticed(L"E:");
    alarm_.Look();
    EXPECT_EQ(window_.dialogs.Texts(), std::vector<std::wstring>{}) << "the program's own copy";
}

}  // namespace
