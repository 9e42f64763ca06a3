// Names a stick from a Unix machine brings and Win32 under Wine bends: alike but for case, a
// trailing dot beside the same name without it, a wildcard.

#include "Win32Api.h"

#include <string>

#include <gtest/gtest.h>

#include "Win32FileSystemService.h"
#include "VelquorError.h"
#include "support/MainWindowFixture.h"
#include "support/TestDrives.h"
#include "common/contract/Stick.h"

namespace {

// Made on R: by the host for one test and removed there after it, as Win32 cannot name them all.
class HostEntries {
public:
    explicit HostEntries(const std::wstring& commands)
        : made(HostShell::Run(L"cd '" + Root() + L"' && " + commands, L"R:")) {}
    ~HostEntries() { HostShell::Run(L"rm -rf '" + Root() + L"'/*", L"R:"); }
    HostEntries(const HostEntries&) = delete;
    HostEntries& operator=(const HostEntries&) = delete;

    const bool made;

private:
    static std::wstring Root() { return TestDrives::HostFolders().at(L'R'); }
};

class HostNamesTest : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HostShell::IsWine()) GTEST_SKIP() << "only a Unix host makes these names";
        ASSERT_TRUE(TestDrives::Mapped() && TestDrives::Empty(L'R').empty() && TestDrives::Empty(L'S').empty());
    }
    std::string Content(const std::wstring& path) {
        FileBytes bytes;
        if (files_.ReadFileBytes(path, kMostFileBytes, bytes)) return "<unreadable>";
        return {bytes.begin(), bytes.end()};
    }

    win32::FileSystemService files_;
    CopyRun run_;
    const BetweenItems nothing_ = [] {};
};

TEST_F(HostNamesTest, OneRunCopyingTwinsAlikeButForCaseKeepsTheFirstAndReportsTheSecond) {
    const HostEntries twins(L"printf uno > Case.txt && printf dos > case.txt && mkdir Dup dup && "
                            L"printf uno > Dup/same.txt && printf dos > dup/same.txt");
    ASSERT_TRUE(twins.made);
    const std::error_code taken = VelquorError::NameAlreadyCopied;

    EXPECT_EQ(files_.CopyFile(L"R:\\Case.txt", L"S:\\Case.txt", true, run_, nothing_), std::error_code());
    EXPECT_EQ(files_.CopyFile(L"R:\\case.txt", L"S:\\case.txt", true, run_, nothing_), taken);
    EXPECT_TRUE(files_.CopyFolder(L"R:\\Dup", L"S:\\Dup", true, run_, nothing_).failures.empty());
    EXPECT_EQ(contract::FailuresOf(files_.CopyFolder(L"R:\\dup", L"S:\\dup", true, run_, nothing_)),
              (contract::Failures{{L"R:\\dup", taken}}));

    EXPECT_EQ(Content(L"S:\\Case.txt"), "uno");
    EXPECT_EQ(Content(L"S:\\Dup\\same.txt"), "uno");
}

// Wine opens "carpeta." as its sibling "carpeta", which neither a copy nor a deletion may reach.
TEST_F(HostNamesTest, AFolderWithATrailingDotBesideItsSiblingIsNotOpenedByItsExactName) {
    const HostEntries folders(L"mkdir carpeta carpeta. && printf a > carpeta/a.txt && printf b > carpeta./b.txt");
    ASSERT_TRUE(folders.made);
    const contract::Failures notByItsName{{L"R:\\carpeta.", VelquorError::NotOpenedByExactName}};

    EXPECT_EQ(contract::FailuresOf(files_.CopyFolder(L"R:\\carpeta.", L"S:\\copia", true, run_, nothing_)),
              notByItsName);
    EXPECT_EQ(contract::FailuresOf(files_.DeleteFolder(L"R:\\carpeta.", true, nothing_)), notByItsName);

    EXPECT_EQ(::GetFileAttributesW(L"S:\\copia"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(Content(L"R:\\carpeta\\a.txt"), "a");
}

class HostNamesCopyTest : public WithTheMainWindow {
protected:
    void SetUp() override {
        if (!HostShell::IsWine()) GTEST_SKIP() << "only a Unix host makes these names";
        ASSERT_NO_FATAL_FAILURE(UseTheTestDrives());
        WithTheMainWindow::SetUp();
    }
};

TEST_F(HostNamesCopyTest, ANameWineListsButCannotOpenIsSaidSoNotGone) {
    const HostEntries wildcard(L"printf x > 'a?b.txt'");
    ASSERT_TRUE(wildcard.made);
    dialogs_.chosenFolder = L"S:\\";
    dialogs_.answers = {true};
    Click(designed::mvSALL);
    Mark({L"R:\\a?b.txt"});

    Click(designed::cmdCopy);

    ASSERT_EQ(dialogs_.messages.size(), 2u);
    EXPECT_EQ(dialogs_.messages[1].text, L"No se pudieron copiar estos elementos:\n"
                                         L"R:\\a?b.txt (No se pudo abrir este elemento con su nombre exacto.)");
}

}  // namespace
