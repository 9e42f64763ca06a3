#include "Deletion.h"

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PosixFileSystemService.h"
#include "support/ForwardingFileSystemService.h"
#include "support/TempTree.h"
#include "support/TestViewer.h"

namespace {

using Lines = std::vector<std::wstring>;
namespace fs = std::filesystem;

constexpr wchar_t kNothingMarked[] = L"Por favor, marque al menos un archivo";
constexpr wchar_t kAreYouSure[] = L"Estás seguro de que deseas eliminar el archivo?";

// The sticks as the service sees them, with what the test changes: under the letter E:, a fixed
// disk or another stick in place of the one listed (with the same names on it), and folders that
// take their time to go.
class TestDrives final : public ForwardingFileSystemService {
public:
    TestDrives(FileSystemService& inner, ManualClock& clock) : ForwardingFileSystemService(inner), clock_(clock) {}

    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        if (drive == L"E:" && eIsFixed) return L"another disk";
        return ForwardingFileSystemService::DeviceOf(drive);
    }
    DriveKind DriveType(const std::wstring& drive) override {
        if (drive == L"E:" && eIsFixed) return DriveKind::Fixed;
        return ForwardingFileSystemService::DriveType(drive);
    }
    std::optional<VolumeId> VolumeOf(const std::wstring& drive) override {
        auto volume = ForwardingFileSystemService::VolumeOf(drive);
        if (drive == L"E:" && eIsAnotherStick && volume) ++volume->serial;
        return volume;
    }
    // The first deletion on E: swaps the stick for another one, if asked.
    std::error_code DeleteFile(const std::wstring& path, bool force) override {
        eIsAnotherStick = eIsAnotherStick || swapAfterFirstDeletion;
        return ForwardingFileSystemService::DeleteFile(path, force);
    }
    TreeReport DeleteFolder(const std::wstring& path, bool force, const BetweenItems& between) override {
        for (int item = 0; item < slowItems; ++item) {
            clock_.Advance(std::chrono::milliseconds(20));
            between();
        }
        return ForwardingFileSystemService::DeleteFolder(path, force, between);
    }

    bool eIsFixed = false;
    bool eIsAnotherStick = false;
    bool swapAfterFirstDeletion = false;
    int slowItems = 0;  // items of 20 ms each before a folder's real deletion

private:
    ManualClock& clock_;
};

// An infected stick E: and a second stick F:, listed with "VER ARCHIVOS Y CARPETAS".
class DeletionTest : public ::testing::Test {
protected:
    DeletionTest()
        : posix_({{L"E:", (tree_ / "e").string(), DriveKind::Removable},
                  {L"F:", (tree_ / "f").string(), DriveKind::Removable}}),
          viewer_(drives_),
          drives_(posix_, viewer_.clock) {
        tree_.File("e/autorun.inf", "[autorun]\r\nopen=x.exe\r\n");
        tree_.File("e/RECYCLER/S-1-5-21/x.exe", "MZ");
        tree_.File("e/notas.txt", "lista");
        tree_.File("e/x.bin", "");
        tree_.Folder("f/Fotos");
        tree_.File("f/Fotos/playa.jpg", "jpg");
    }
    void List(Listed view = Listed::FoldersThenFiles) { listing_.Show(view); }
    bool OnStick(const std::string& relative) const { return fs::exists(tree_ / relative); }
    static Lines Sorted(Lines lines) {
        std::sort(lines.begin(), lines.end());
        return lines;
    }
    Lines Questions() const {
        Lines texts;
        for (const auto& shown : viewer_.dialogs.messages) texts.push_back(shown.text);
        return texts;
    }

    TempTree tree_;
    posix::FileSystemService posix_;
    TestViewer viewer_;
    TestDrives drives_;
    RootListing listing_{viewer_.viewer};
    Deletion deletion_{viewer_.viewer, listing_};
};

TEST_F(DeletionTest, NothingMarkedOnlyWarnsAndChangesNothing) {
    deletion_.cmdDeleteSel_Click();  // nothing listed yet
    List();
    viewer_.lstViewer.SetListIndex(1);
    viewer_.txtProp.SetText(L"(antes)");

    deletion_.cmdDeleteSel_Click();

    ASSERT_EQ(viewer_.dialogs.messages.size(), 2u);
    EXPECT_EQ(viewer_.dialogs.messages[0].text, kNothingMarked);
    EXPECT_EQ(viewer_.dialogs.messages[0].kind, ScriptedDialogs::Kind::Warning);
    EXPECT_EQ(viewer_.dialogs.messages[1].text, kNothingMarked);
    EXPECT_EQ(viewer_.lstViewer.ListCount(), 5);
    EXPECT_EQ(viewer_.lstViewer.ListIndex(), 1);
    EXPECT_EQ(viewer_.txtProp.Text(), L"(antes)");
}

TEST_F(DeletionTest, NoDeletesNothingAndKeepsMarksAndCurrentLine) {
    List();
    viewer_.lstViewer.Mark({L"E:\\autorun.inf"});
    viewer_.lstViewer.SetListIndex(3);
    const auto marks = viewer_.lstViewer.Marks();
    viewer_.dialogs.answers = {false};

    deletion_.cmdDeleteSel_Click();

    EXPECT_EQ(Questions(), Lines{kAreYouSure});
    EXPECT_EQ(viewer_.dialogs.messages[0].kind, ScriptedDialogs::Kind::Question);
    EXPECT_TRUE(OnStick("e/autorun.inf"));
    EXPECT_EQ(viewer_.lstViewer.Marks(), marks);
    EXPECT_EQ(viewer_.lstViewer.ListIndex(), 3);
}

TEST_F(DeletionTest, MarkedEntriesGoAndTheListIsRebuiltInTheSameView) {
    List();
    viewer_.lstViewer.Mark({L"E:\\RECYCLER", L"E:\\autorun.inf"});
    viewer_.dialogs.answers = {true};

    deletion_.cmdDeleteSel_Click();

    EXPECT_EQ(Questions(), Lines{kAreYouSure}) << "no message tells the outcome";
    EXPECT_FALSE(OnStick("e/RECYCLER"));
    EXPECT_FALSE(OnStick("e/autorun.inf"));
    EXPECT_TRUE(OnStick("e/notas.txt"));
    EXPECT_EQ(Sorted(viewer_.lstViewer.Lines()), (Lines{L"E:\\notas.txt", L"E:\\x.bin", L"F:\\Fotos"}));
    EXPECT_EQ(viewer_.lstViewer.Marks(), (std::vector<bool>{false, false, false}));
    EXPECT_EQ(viewer_.lstViewer.ListIndex(), -1) << "the relisting leaves no line current";
    EXPECT_EQ(viewer_.lblStatus.Text(), L"3 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(listing_.ViewMode(), Listed::FoldersThenFiles);
}

TEST_F(DeletionTest, AdjacentMarkedLinesAllGo) {
    List(Listed::Files);
    viewer_.lstViewer.Mark(viewer_.lstViewer.Lines());
    viewer_.dialogs.answers = {true};

    deletion_.cmdDeleteSel_Click();

    EXPECT_FALSE(OnStick("e/autorun.inf"));
    EXPECT_FALSE(OnStick("e/notas.txt"));
    EXPECT_FALSE(OnStick("e/x.bin"));
    EXPECT_TRUE(OnStick("e/RECYCLER")) << "not listed in this view";
    EXPECT_EQ(viewer_.lblStatus.Text(), L"0 Archivos Encontrados!");
    EXPECT_EQ(listing_.ViewMode(), Listed::Files);
}

TEST_F(DeletionTest, EverythingMarkedLeavesAnEmptyListAndAnEmptyPropertiesBox) {
    List();
    viewer_.lstViewer.Mark(viewer_.lstViewer.Lines());
    viewer_.txtProp.SetText(L"(antes)");
    viewer_.dialogs.answers = {true};

    deletion_.cmdDeleteSel_Click();

    EXPECT_EQ(viewer_.lstViewer.ListCount(), 0);
    EXPECT_EQ(viewer_.lblStatus.Text(), L"0 Archivos y Carpetas Encontradas!");
    EXPECT_EQ(viewer_.txtProp.Text(), L"");
    EXPECT_TRUE(fs::is_empty(tree_ / "e"));
    EXPECT_TRUE(fs::is_empty(tree_ / "f"));
}

TEST_F(DeletionTest, ReadOnlyEntriesGoAtAnyDepth) {
    TempTree::ReadOnly(tree_ / "e/autorun.inf");
    TempTree::ReadOnly(tree_ / "e/RECYCLER/S-1-5-21/x.exe");
    TempTree::ReadOnly(tree_ / "e/RECYCLER/S-1-5-21");
    List();
    viewer_.lstViewer.Mark({L"E:\\RECYCLER", L"E:\\autorun.inf"});
    viewer_.dialogs.answers = {true};

    deletion_.cmdDeleteSel_Click();

    EXPECT_FALSE(OnStick("e/autorun.inf"));
    EXPECT_FALSE(OnStick("e/RECYCLER"));
}

TEST_F(DeletionTest, EachMarkedLineIsMadeCurrentThenLineZeroAndTheWalkYieldsForEveryLine) {
    List(Listed::Files);
    viewer_.lstViewer.Mark({L"E:\\notas.txt"});
    std::vector<int> currentLines;
    viewer_.lstViewer.OnClick([&] { currentLines.push_back(viewer_.lstViewer.ListIndex()); });
    viewer_.dialogs.answers = {true};
    const int yieldsBefore = viewer_.yields;
    int notas = -1;
    for (int line = 0; line < 3; ++line) {
        if (viewer_.lstViewer.List(line) == L"E:\\notas.txt") notas = line;
    }

    deletion_.cmdDeleteSel_Click();

    EXPECT_EQ(currentLines, (std::vector<int>{notas, 0})) << "the marked line, then line 0";
    EXPECT_GE(viewer_.yields - yieldsBefore, 3) << "at least once a line";
}

TEST_F(DeletionTest, AMarkTakenOffDuringTheWalkKeepsItsEntry) {
    List(Listed::Files);
    viewer_.lstViewer.Mark(viewer_.lstViewer.Lines());
    viewer_.dialogs.answers = {true};
    // As the walk reaches the first line, the user unmarks every line still to come.
    viewer_.duringYield = [this] {
        for (int line = 1; line < viewer_.lstViewer.ListCount(); ++line) viewer_.lstViewer.SetSelected(line, false);
        viewer_.duringYield = nullptr;
    };

    deletion_.cmdDeleteSel_Click();

    EXPECT_EQ(viewer_.lstViewer.ListCount(), 2) << "only the first line's entry went";
}

TEST_F(DeletionTest, AnEntryGoneSinceTheListingIsPassedOverAndTheOthersGo) {
    List(Listed::Files);
    viewer_.lstViewer.Mark(viewer_.lstViewer.Lines());
    fs::remove(tree_ / "e/notas.txt");
    viewer_.dialogs.answers = {true};

    deletion_.cmdDeleteSel_Click();

    EXPECT_FALSE(OnStick("e/autorun.inf"));
    EXPECT_FALSE(OnStick("e/x.bin"));
    EXPECT_EQ(viewer_.lstViewer.ListCount(), 0);
}

TEST_F(DeletionTest, ADriveNoLongerListedIsNotTouched) {
    List();
    viewer_.lstViewer.Mark(viewer_.lstViewer.Lines());
    drives_.eIsFixed = true;  // another disk now answers to E:
    viewer_.dialogs.answers = {true};

    deletion_.cmdDeleteSel_Click();

    EXPECT_TRUE(OnStick("e/autorun.inf"));
    EXPECT_TRUE(OnStick("e/RECYCLER/S-1-5-21/x.exe"));
    EXPECT_FALSE(OnStick("f/Fotos")) << "the stick still listed is cleaned";
}

TEST_F(DeletionTest, AStickSwappedForAnotherDuringTheWalkKeepsEverythingOnIt) {
    List(Listed::Files);
    viewer_.lstViewer.Mark(viewer_.lstViewer.Lines());
    viewer_.dialogs.answers = {true};
    drives_.swapAfterFirstDeletion = true;

    deletion_.cmdDeleteSel_Click();

    const int left = OnStick("e/autorun.inf") + OnStick("e/notas.txt") + OnStick("e/x.bin");
    EXPECT_EQ(left, 2) << "only the entry deleted before the swap went";
}

TEST_F(DeletionTest, TheWindowAnswersWhileALargeFolderGoes) {
    List(Listed::Folders);
    viewer_.lstViewer.Mark({L"E:\\RECYCLER"});
    viewer_.dialogs.answers = {true};
    drives_.slowItems = 5;
    int yieldsWhileItGoes = 0;
    viewer_.duringYield = [&] { yieldsWhileItGoes += OnStick("e/RECYCLER") ? 1 : 0; };

    deletion_.cmdDeleteSel_Click();

    EXPECT_FALSE(OnStick("e/RECYCLER"));
    EXPECT_GE(yieldsWhileItGoes, 2 + 5) << "the walk's two for the line, and one per slow item";
}

}  // namespace
