#include "Unhide.h"

#include <sys/xattr.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PosixFileSystemService.h"
#include "support/PosixAttributes.h"
#include "support/TempTree.h"
#include "support/TestViewer.h"

namespace {

namespace fs = std::filesystem;
using namespace attributes;

constexpr wchar_t kNotChanged[] = L"No se pudieron cambiar los atributos de estos elementos:";

// An infected stick E:: the user's folder hidden and system, with hidden files at depth, a
// read-only one among them; the malware's own hidden folder; and the drive's own hidden folder.
class UnhideTest : public ::testing::Test {
protected:
    UnhideTest() : files_({{L"E:", (tree_ / "e").string(), DriveKind::Removable}}), viewer_(files_) {
        tree_.File("e/Documentos/carta.txt", "Querida");
        tree_.File("e/Documentos/viejos/2020.txt", "antiguo");
        tree_.File("e/RECYCLER/x.exe", "MZ");
        tree_.Folder("e/System Volume Information");
        Hide("Documentos", "0x6");
        Hide("Documentos/carta.txt", "0x2");
        Hide("Documentos/viejos/2020.txt", "0x2");
        TempTree::ReadOnly(tree_ / "e/Documentos/viejos/2020.txt");
        Hide("RECYCLER", "0x6");
        Hide("System Volume Information", "0x6");
        listing_.Show(Listed::FoldersThenFiles);
    }
    void Hide(const std::string& relative, const std::string& value) {
        const std::string host = (tree_ / "e" / relative).string();
        ASSERT_EQ(::setxattr(host.c_str(), "user.DOSATTRIB", value.data(), value.size(), 0), 0) << host;
    }
    Attributes Of(const std::wstring& path) {
        std::wstring relative = path.substr(3);
        std::replace(relative.begin(), relative.end(), L'\\', L'/');
        return AttributesOf(tree_ / "e" / relative).value_or(0xFFFFFFFF);
    }
    TempTree tree_;
    posix::FileSystemService files_;
    TestViewer viewer_;
    RootListing listing_{viewer_.viewer};
    Unhide unhide_{viewer_.viewer, listing_};
};

TEST_F(UnhideTest, AMarkedFolderBecomesVisibleThroughoutAndKeepsItsReadOnly) {
    viewer_.lstViewer.Mark({L"E:\\Documentos"});
    ASSERT_TRUE(unhide_.CanShowMarked());

    unhide_.ShowMarkedEntries();

    EXPECT_EQ(Of(L"E:\\Documentos") & (kHidden | kSystem), 0u);
    EXPECT_EQ(Of(L"E:\\Documentos\\carta.txt") & kHidden, 0u);
    EXPECT_EQ(Of(L"E:\\Documentos\\viejos\\2020.txt") & (kHidden | kReadOnly), kReadOnly);
    EXPECT_EQ(Of(L"E:\\RECYCLER") & (kHidden | kSystem), kHidden | kSystem) << "an unmarked entry stays hidden";
    EXPECT_TRUE(viewer_.dialogs.messages.empty());
}

TEST_F(UnhideTest, TheListIsRebuiltInTheSameViewWithNoMarks) {
    viewer_.lstViewer.Mark({L"E:\\Documentos"});

    unhide_.ShowMarkedEntries();

    EXPECT_EQ(viewer_.lstViewer.ListCount(), 3);
    EXPECT_EQ(viewer_.lstViewer.Marks(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(viewer_.lblStatus.Text(), L"3 Archivos y Carpetas Encontradas!");
    EXPECT_FALSE(unhide_.CanShowMarked());
}

TEST_F(UnhideTest, TheDrivesOwnHiddenFolderIsLeftAsItIs) {
    viewer_.lstViewer.Mark({L"E:\\System Volume Information"});

    unhide_.ShowMarkedEntries();

    EXPECT_EQ(Of(L"E:\\System Volume Information") & (kHidden | kSystem), kHidden | kSystem);
    EXPECT_FALSE(unhide_.CanUndo()) << "nothing was changed";
}

TEST_F(UnhideTest, ALinkInsideIsNotFollowed) {
    tree_.File("fuera/secreto.txt", "x");
    const std::string outside = (tree_ / "fuera").string();
    ASSERT_EQ(::setxattr(outside.c_str(), "user.DOSATTRIB", "0x2", 3, 0), 0);
    tree_.Link("e/Documentos/atajo", tree_ / "fuera");
    viewer_.lstViewer.Mark({L"E:\\Documentos"});

    unhide_.ShowMarkedEntries();

    char value[16] = {};
    ASSERT_GT(::getxattr(outside.c_str(), "user.DOSATTRIB", value, sizeof value - 1), 0);
    EXPECT_STREQ(value, "0x2") << "the link's target keeps its attributes";
    EXPECT_EQ(Of(L"E:\\Documentos\\carta.txt") & kHidden, 0u) << "the rest is still changed";
}

TEST_F(UnhideTest, UndoGivesBackEveryAttributeExactly) {
    const Attributes folder = Of(L"E:\\Documentos");
    const Attributes letter = Of(L"E:\\Documentos\\carta.txt");
    const Attributes old = Of(L"E:\\Documentos\\viejos\\2020.txt");
    viewer_.lstViewer.Mark({L"E:\\Documentos"});
    unhide_.ShowMarkedEntries();
    ASSERT_TRUE(unhide_.CanUndo());

    unhide_.UndoLastChange();

    EXPECT_EQ(Of(L"E:\\Documentos"), folder);
    EXPECT_EQ(Of(L"E:\\Documentos\\carta.txt"), letter);
    EXPECT_EQ(Of(L"E:\\Documentos\\viejos\\2020.txt"), old);
    EXPECT_FALSE(unhide_.CanUndo()) << "one undo for one change";
}

// Another stick with the same names under E: is left as it is; the first one, back, is undone.
TEST_F(UnhideTest, UndoOnAnotherStickUnderTheSameLetterChangesNothingAndSaysSo) {
    viewer_.lstViewer.Mark({L"E:\\Documentos"});
    unhide_.ShowMarkedEntries();
    fs::rename(tree_ / "e", tree_ / "first");
    tree_.File("e/Documentos/carta.txt", "otra");
    listing_.Show(Listed::FoldersThenFiles);
    ASSERT_TRUE(unhide_.CanUndo());

    unhide_.UndoLastChange();

    EXPECT_EQ(viewer_.dialogs.Texts(), std::vector<std::wstring>{L"La memoria ya no es la misma: no se deshizo ningún cambio."});
    EXPECT_EQ(Of(L"E:\\Documentos") & (kHidden | kSystem), 0u);
    fs::rename(tree_ / "e", tree_ / "second");
    fs::rename(tree_ / "first", tree_ / "e");
    unhide_.UndoLastChange();
    EXPECT_EQ(Of(L"E:\\Documentos") & (kHidden | kSystem), kHidden | kSystem);
}

TEST_F(UnhideTest, UndoIsOfferedOnlyWhileAChangedEntryIsListed) {
    viewer_.lstViewer.Mark({L"E:\\Documentos"});
    unhide_.ShowMarkedEntries();
    ASSERT_TRUE(unhide_.CanUndo());

    viewer_.lstViewer.Clear();
    EXPECT_FALSE(unhide_.CanUndo());
    listing_.Show(Listed::Folders);
    EXPECT_TRUE(unhide_.CanUndo());
}

TEST_F(UnhideTest, AnEntryGoneSinceTheListingIsReportedAndTheOthersAreChanged) {
    viewer_.lstViewer.Mark({L"E:\\Documentos"});
    viewer_.lstViewer.Mark({L"E:\\RECYCLER"});
    fs::remove_all(tree_ / "e/RECYCLER");

    unhide_.ShowMarkedEntries();

    ASSERT_EQ(viewer_.dialogs.messages.size(), 1u);
    EXPECT_TRUE(viewer_.dialogs.messages[0].text.starts_with(std::wstring(kNotChanged) + L"\nE:\\RECYCLER (")) << viewer_.dialogs.messages[0].text;
    EXPECT_EQ(Of(L"E:\\Documentos") & kHidden, 0u);
}

TEST_F(UnhideTest, EachMarkedLineIsMadeCurrentAsTheWalkGoes) {
    viewer_.lstViewer.Mark({L"E:\\Documentos"});
    viewer_.lstViewer.Mark({L"E:\\RECYCLER"});
    std::vector<std::wstring> current;
    viewer_.lstViewer.OnClick([&] { current.push_back(viewer_.lstViewer.List(viewer_.lstViewer.ListIndex())); });

    unhide_.ShowMarkedEntries();

    std::sort(current.begin(), current.end());
    EXPECT_EQ(current, (std::vector<std::wstring>{L"E:\\Documentos", L"E:\\RECYCLER"}));
}

}  // namespace
