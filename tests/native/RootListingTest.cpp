#include "RootListing.h"

#include <cstdio>
#include <string>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "PosixFileSystemService.h"
#include "support/TempTree.h"
#include "support/TestViewer.h"

namespace {

using Lines = std::vector<std::wstring>;

// Two sticks (E:, F:), a card slot without a card (G:) and a fixed disk (C:), all temporary folders.
class RootListingTest : public ::testing::Test {
protected:
    RootListingTest()
        : files_({{L"C:", (tree_ / "c").string(), DriveKind::Fixed},
                  {L"E:", (tree_ / "e").string(), DriveKind::Removable},
                  {L"F:", (tree_ / "f").string(), DriveKind::Removable},
                  {L"G:", (tree_ / "missing-card").string(), DriveKind::Removable}}),
          window_(files_),
          listing_(window_.viewer) {
        tree_.Folder("c");
        tree_.Folder("e");
        tree_.Folder("f");
    }

    TempTree tree_;
    posix::FileSystemService files_;
    TestViewer window_;
    MemoryEntryList& list_ = window_.lstViewer;
    RootListing listing_;
};

TEST(CountTextTest, DigitsOnlyThenTheSuffix) {
    EXPECT_EQ(CountText(0, kFilesFound), L"0 Archivos Encontrados!");
    EXPECT_EQ(CountText(12, kFilesAndFoldersFound), L"12 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(CountText(1, kFoldersFound), L"1 Carpetas Encontradas!");
    EXPECT_EQ(CountText(40000, kFoldersFound), L"40000 Carpetas Encontradas!");
}

TEST_F(RootListingTest, AllListsFoldersOfEveryDriveBeforeAnyFile) {
    tree_.File("e/autorun.inf");
    tree_.Folder("e/RECYCLER");
    tree_.File("f/notas.txt");
    tree_.Folder("f/Fotos");
    tree_.Folder("c/Windows");
    tree_.File("c/pagefile.sys");

    listing_.Show(Listed::FoldersThenFiles);

    EXPECT_EQ(list_.Lines(), (Lines{L"E:\\RECYCLER", L"F:\\Fotos", L"E:\\autorun.inf", L"F:\\notas.txt"}));
    EXPECT_EQ(window_.lblStatus.Text(), L"4 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(listing_.ViewMode(), Listed::FoldersThenFiles);
}

TEST_F(RootListingTest, FoldersOnlyAndFilesOnly) {
    tree_.File("e/autorun.inf");
    tree_.Folder("e/RECYCLER");

    listing_.Show(Listed::Folders);
    EXPECT_EQ(list_.Lines(), Lines{L"E:\\RECYCLER"});
    EXPECT_EQ(window_.lblStatus.Text(), L"1 Carpetas Encontradas!");
    EXPECT_EQ(listing_.ViewMode(), Listed::Folders);

    listing_.Show(Listed::Files);
    EXPECT_EQ(list_.Lines(), Lines{L"E:\\autorun.inf"});
    EXPECT_EQ(window_.lblStatus.Text(), L"1 Archivos Encontrados!");
    EXPECT_EQ(listing_.ViewMode(), Listed::Files);
}

TEST_F(RootListingTest, HiddenEntriesAreListedLikeAnyOther) {
    tree_.File("e/.oculto.exe");
    tree_.Folder("e/.sistema");

    listing_.Show(Listed::FoldersThenFiles);

    EXPECT_EQ(list_.Lines(), (Lines{L"E:\\.sistema", L"E:\\.oculto.exe"}));
}

TEST_F(RootListingTest, NoRemovableEntriesGiveZeroAndTheViewIsStillRecorded) {
    tree_.Folder("e/solo-carpetas");

    listing_.Show(Listed::Files);

    EXPECT_EQ(list_.ListCount(), 0);
    EXPECT_EQ(window_.lblStatus.Text(), L"0 Archivos Encontrados!");
    EXPECT_EQ(listing_.ViewMode(), Listed::Files);
}

TEST_F(RootListingTest, ListingAgainGivesTheSameLinesAllUnmarked) {
    tree_.File("e/a.txt");
    tree_.File("f/b.txt");
    listing_.Show(Listed::Files);
    const Lines first = list_.Lines();
    list_.SetSelected(0, true);
    list_.SetListIndex(1);

    listing_.Show(Listed::Files);

    EXPECT_EQ(list_.Lines(), first);
    EXPECT_FALSE(list_.Selected(0));
    EXPECT_FALSE(list_.Selected(1));
    EXPECT_EQ(list_.ListIndex(), -1);
}

TEST_F(RootListingTest, YieldsBeforeEachLineIsAdded) {
    tree_.File("e/a.txt");
    tree_.Folder("f/Fotos");
    std::vector<int> countsSeenAtYields;
    window_.duringYield = [&] { countsSeenAtYields.push_back(list_.ListCount()); };

    listing_.Show(Listed::FoldersThenFiles);

    EXPECT_THAT(countsSeenAtYields, testing::IsSupersetOf({0, 1}));
}

TEST_F(RootListingTest, RefreshRepeatsTheLastViewAndDoesNothingBeforeTheFirst) {
    tree_.File("e/a.txt");
    listing_.Refresh();
    EXPECT_EQ(list_.ListCount(), 0);
    EXPECT_EQ(window_.lblStatus.Text(), L"(design-time caption)");

    listing_.Show(Listed::Files);
    tree_.File("e/b.txt");
    listing_.Refresh();

    EXPECT_EQ(list_.ListCount(), 2);
    EXPECT_EQ(window_.lblStatus.Text(), L"2 Archivos Encontrados!");
}

TEST_F(RootListingTest, APulledStickAddsNothingAndTheOthersAreListed) {
    tree_.File("f/b.txt");
    std::filesystem::remove_all(tree_ / "e");

    listing_.Show(Listed::Files);

    EXPECT_EQ(list_.Lines(), Lines{L"F:\\b.txt"});
}

TEST_F(RootListingTest, ListsMoreThanASixteenBitCountOfEntries) {
    constexpr int kEntries = 32768;
    for (int i = 0; i < kEntries; ++i) {
        std::FILE* file = std::fopen((tree_ / ("e/f" + std::to_string(i))).c_str(), "w");
        ASSERT_NE(file, nullptr);
        std::fclose(file);
    }

    listing_.Show(Listed::Files);

    EXPECT_EQ(list_.ListCount(), kEntries);
    EXPECT_EQ(window_.lblStatus.Text(), L"32768 Archivos Encontrados!");
}

}  // namespace
