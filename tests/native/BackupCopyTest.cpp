#include "BackupCopy.h"

#include <filesystem>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "PosixFileSystemService.h"
#include "RootListing.h"
#include "VelquorError.h"
#include "FailureMessage.h"
#include "support/TempTree.h"
#include "support/TestViewer.h"

namespace {

using Texts = std::vector<std::wstring>;
namespace fs = std::filesystem;

constexpr wchar_t kNothingMarked[] = L"Por favor, marque al menos un archivo para poder copiar";
constexpr wchar_t kAreYouSure[] = L"Estás seguro de que desea copiar los archivos seleccionados?";

TEST(WithTrailingBackslashTest, OneSeparatorBetweenFolderAndName) {
    EXPECT_EQ(WithTrailingBackslash(L"D:\\Copia"), L"D:\\Copia\\");
    EXPECT_EQ(WithTrailingBackslash(L"D:\\"), L"D:\\");
    EXPECT_EQ(WithTrailingBackslash(L""), L"\\");
    EXPECT_EQ(WithTrailingBackslash(L"D:\\Copia/"), L"D:\\Copia/\\") << "only a backslash counts";
}

TEST(ProgressTextTest, WholePercentHalfWayToEven) {
    EXPECT_EQ(ProgressText(1, 3), L"33% Completed");
    EXPECT_EQ(ProgressText(2, 3), L"67% Completed");
    EXPECT_EQ(ProgressText(1, 8), L"12% Completed");
    EXPECT_EQ(ProgressText(3, 8), L"38% Completed");
    EXPECT_EQ(ProgressText(5, 8), L"62% Completed");
    EXPECT_EQ(ProgressText(8, 8), L"100% Completed");
}

TEST(FailureMessageTest, FifteenLinesAtMostThenHowManyMore) {
    constexpr wchar_t kHeading[] = L"No se pudieron copiar estos elementos:";
    std::vector<ItemFailure> failures;
    for (int i = 0; i < 17; ++i) failures.push_back({L"E:\\f" + std::to_wstring(i), VelquorError::EntryGone});

    const std::wstring text = FailureMessage(kHeading, failures);

    EXPECT_TRUE(text.starts_with(L"No se pudieron copiar estos elementos:\nE:\\f0 (El elemento ya no existe.)\n"));
    EXPECT_NE(text.find(L"\nE:\\f14 (El elemento ya no existe.)\ny 2 más"), std::wstring::npos) << text;
    EXPECT_EQ(text.find(L"E:\\f15"), std::wstring::npos);
    EXPECT_EQ(FailureMessage(kHeading, {{L"E:\\a", VelquorError::EntryGone}}),
              L"No se pudieron copiar estos elementos:\nE:\\a (El elemento ya no existe.)");
}

// A stick E: and a backup disk D:, listed with "VER ARCHIVOS Y CARPETAS".
class BackupCopyTest : public ::testing::Test {
protected:
    BackupCopyTest()
        : files_({{L"D:", (tree_ / "d").string(), DriveKind::Fixed},
                  {L"E:", (tree_ / "e").string(), DriveKind::Removable}}),
          viewer_(files_) {
        tree_.Folder("d/Copia");
        tree_.File("e/foto.jpg", "JPEG");
        tree_.File("e/notas.txt", "lista");
        tree_.File("e/Documentos/carta.txt", "Querida");
        tree_.File("e/Documentos/viejos/2020.txt", "antiguo");
        listing_.Show(Listed::FoldersThenFiles);
        viewer_.dialogs.chosenFolder = L"D:\\Copia";
    }
    std::string Copied(const std::string& relative) const { return TempTree::Contents(tree_ / "d/Copia" / relative); }
    Texts Messages() const {
        Texts texts;
        for (const auto& shown : viewer_.dialogs.messages) texts.push_back(shown.text);
        return texts;
    }

    TempTree tree_;
    posix::FileSystemService files_;
    TestViewer viewer_;
    RootListing listing_{viewer_.viewer};
    BackupCopy copy_{viewer_.viewer};
};

TEST_F(BackupCopyTest, NothingMarkedOnlyWarns) {
    copy_.cmdCopy_Click();

    EXPECT_EQ(Messages(), Texts{kNothingMarked});
    EXPECT_TRUE(viewer_.dialogs.pickers.empty());
    EXPECT_EQ(viewer_.caption.Text(), L"Velquor");
}

TEST_F(BackupCopyTest, CancellingThePickerEndsSilentlyWithTheCaptionUnchanged) {
    viewer_.lstViewer.Mark({L"E:\\foto.jpg"});
    viewer_.dialogs.chosenFolder = L"";

    copy_.cmdCopy_Click();

    ASSERT_EQ(viewer_.dialogs.pickers.size(), 1u);
    EXPECT_EQ(viewer_.dialogs.pickers[0].title, L"Por favor, seleccione ruta de destino.");
    EXPECT_EQ(viewer_.dialogs.pickers[0].startFolder, L"");
    EXPECT_TRUE(Messages().empty());
    EXPECT_EQ(viewer_.caption.Text(), L"Velquor");
    EXPECT_TRUE(fs::is_empty(tree_ / "d/Copia"));
}

TEST_F(BackupCopyTest, NoCopiesNothingAndTheCaptionKeepsTheChosenPath) {
    viewer_.lstViewer.Mark({L"E:\\foto.jpg"});
    viewer_.dialogs.answers = {false};

    copy_.cmdCopy_Click();

    EXPECT_EQ(Messages(), Texts{kAreYouSure});
    EXPECT_EQ(viewer_.caption.Text(), L"D:\\Copia");
    EXPECT_FALSE(viewer_.picCopy.visible);
    EXPECT_TRUE(fs::is_empty(tree_ / "d/Copia"));
}

TEST_F(BackupCopyTest, TwoMarkedFilesAreCopiedWithTheProgressAndTheUnmarkedFolderIsNot) {
    viewer_.lstViewer.Mark({L"E:\\foto.jpg", L"E:\\notas.txt"});
    viewer_.dialogs.answers = {true};
    std::vector<bool> panelShownAtYields;
    viewer_.duringYield = [&] { panelShownAtYields.push_back(viewer_.picCopy.visible); };

    copy_.cmdCopy_Click();

    EXPECT_EQ(Copied("foto.jpg"), "JPEG");
    EXPECT_EQ(Copied("notas.txt"), "lista");
    EXPECT_FALSE(fs::exists(tree_ / "d/Copia/Documentos"));
    EXPECT_EQ(viewer_.lblCopySt.history, (Texts{L"50% Completed", L"100% Completed"}));
    EXPECT_EQ(viewer_.caption.history, (Texts{L"D:\\Copia", L"Espera Un Momento...", L"Dravello"}));
    EXPECT_FALSE(viewer_.picCopy.visible);
    EXPECT_EQ(panelShownAtYields, (std::vector<bool>{false, true})) << "one yield per copied entry, before it counts";
    EXPECT_EQ(copy_.CopiedCount, 0);
    EXPECT_EQ(copy_.MarkedCount, 2);
    EXPECT_EQ(Messages(), Texts{kAreYouSure}) << "a copy that went well says nothing";
}

TEST_F(BackupCopyTest, EightMarkedEntriesCountInEighths) {
    for (int i = 0; i < 6; ++i) tree_.File("e/extra" + std::to_string(i) + ".txt", "x");
    listing_.Show(Listed::Files);
    viewer_.lstViewer.Mark(viewer_.lstViewer.Lines());
    ASSERT_EQ(viewer_.lstViewer.ListCount(), 8);
    viewer_.dialogs.answers = {true};

    copy_.cmdCopy_Click();

    EXPECT_EQ(viewer_.lblCopySt.history, (Texts{L"12% Completed", L"25% Completed", L"38% Completed", L"50% Completed",
                                                L"62% Completed", L"75% Completed", L"88% Completed",
                                                L"100% Completed"}));
}

TEST_F(BackupCopyTest, AFolderIsCopiedWithItsWholeTreeUnderItsOwnName) {
    viewer_.lstViewer.Mark({L"E:\\Documentos"});
    viewer_.dialogs.answers = {true};

    copy_.cmdCopy_Click();

    EXPECT_EQ(Copied("Documentos/carta.txt"), "Querida");
    EXPECT_EQ(Copied("Documentos/viejos/2020.txt"), "antiguo");
}

TEST_F(BackupCopyTest, AnExistingTargetIsReplaced) {
    tree_.File("d/Copia/notas.txt", "copia vieja");
    viewer_.lstViewer.Mark({L"E:\\notas.txt"});
    viewer_.dialogs.answers = {true};

    copy_.cmdCopy_Click();

    EXPECT_EQ(Copied("notas.txt"), "lista");
}

TEST_F(BackupCopyTest, ADriveRootDestinationTakesTheNameDirectly) {
    viewer_.dialogs.chosenFolder = L"D:\\";
    viewer_.lstViewer.Mark({L"E:\\foto.jpg"});
    viewer_.dialogs.answers = {true};

    copy_.cmdCopy_Click();

    EXPECT_EQ(TempTree::Contents(tree_ / "d/foto.jpg"), "JPEG");
}

TEST_F(BackupCopyTest, AVanishedEntryIsSkippedAndReportedAndTheRestIsCopied) {
    viewer_.lstViewer.Mark({L"E:\\foto.jpg", L"E:\\notas.txt"});
    fs::remove(tree_ / "e/foto.jpg");
    viewer_.dialogs.answers = {true};

    copy_.cmdCopy_Click();

    EXPECT_EQ(Copied("notas.txt"), "lista");
    EXPECT_EQ(viewer_.lblCopySt.history, Texts{L"50% Completed"}) << "the vanished entry is not counted";
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_EQ(Messages()[1], L"No se pudieron copiar estos elementos:\nE:\\foto.jpg (El elemento ya no existe.)");
    EXPECT_EQ(viewer_.dialogs.messages[1].kind, ScriptedDialogs::Kind::Warning);
}

TEST_F(BackupCopyTest, FailuresInsideAFolderAreReportedWithTheirOwnPaths) {
    tree_.Link("e/Documentos/atajo", tree_ / "e/Documentos");  // a loop back into the folder
    viewer_.lstViewer.Mark({L"E:\\Documentos"});
    viewer_.dialogs.answers = {true};

    copy_.cmdCopy_Click();

    EXPECT_EQ(Copied("Documentos/carta.txt"), "Querida");
    ASSERT_EQ(Messages().size(), 2u);
    EXPECT_NE(Messages()[1].find(L"\nE:\\Documentos\\atajo ("), std::wstring::npos) << Messages()[1];
}

TEST_F(BackupCopyTest, UnicodeNamesAreCopied) {
    tree_.File("e/canción ñandú 日本.txt", "música");
    listing_.Show(Listed::Files);
    viewer_.lstViewer.Mark({L"E:\\canción ñandú 日本.txt"});
    viewer_.dialogs.answers = {true};

    copy_.cmdCopy_Click();

    EXPECT_EQ(Copied("canción ñandú 日本.txt"), "música");
}

}  // namespace
