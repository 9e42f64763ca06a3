#include "listing/PosixFileSystemService.h"

#include <sys/stat.h>

#include <algorithm>
#include <clocale>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "listing/VelquorError.h"
#include "support/TempTree.h"
#include "tests/common/RootEntries.h"

namespace {

namespace fs = std::filesystem;
using Paths = std::vector<std::wstring>;
using Failures = std::vector<std::pair<std::wstring, std::error_code>>;

std::error_code Errc(std::errc code) { return std::make_error_code(code); }

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

Failures FailuresOf(const TreeReport& report) {
    Failures failures;
    for (const ItemFailure& item : report.failures) failures.emplace_back(item.path, item.error);
    std::sort(failures.begin(), failures.end());
    return failures;
}

Failures OneFailure(std::wstring path, std::error_code error) { return {{std::move(path), error}}; }

int ModeOf(const fs::path& path) {
    struct stat facts {};
    ::lstat(path.c_str(), &facts);
    return static_cast<int>(facts.st_mode & 07777);
}

// A stick as E:, an empty card slot as F: and a fixed disk as C:, all temporary folders.
class PosixServiceTest : public ::testing::Test {
protected:
    PosixServiceTest()
        : stick_(tree_.Folder("stick")),
          files_({{L"E:", stick_.string(), DriveKind::Removable},
                  {L"F:", (tree_ / "no-card").string(), DriveKind::Removable},
                  {L"C:", tree_.Folder("disk").string(), DriveKind::Fixed}}) {}

    fs::path OnStick(const std::string& relative, const std::string& contents = "x") {
        return tree_.File("stick/" + relative, contents);
    }
    // True while the entry is there, a dangling link included.
    bool Exists(const std::string& relative) const {
        return fs::exists(fs::symlink_status(stick_ / relative));
    }

    TempTree tree_;
    fs::path stick_;
    PosixFileSystemService files_;
};

using PosixDrivesTest = PosixServiceTest;
using PosixRootsTest = PosixServiceTest;
using PosixFactsTest = PosixServiceTest;
using PosixCopyFileTest = PosixServiceTest;
using PosixCopyFolderTest = PosixServiceTest;
using PosixDeleteTest = PosixServiceTest;
using PosixLongPathTest = PosixServiceTest;

TEST_F(PosixDrivesTest, TableOrderTypesAndReadiness) {
    EXPECT_EQ(files_.Drives(), (Paths{L"E:", L"F:", L"C:"}));
    EXPECT_EQ(files_.DriveType(L"E:"), DriveKind::Removable);
    EXPECT_EQ(files_.DriveType(L"c:"), DriveKind::Fixed);
    EXPECT_EQ(files_.DriveType(L"Q:"), DriveKind::Unknown);
    EXPECT_TRUE(files_.IsReady(L"e:"));
    EXPECT_TRUE(files_.IsReady(L"C:"));
    EXPECT_FALSE(files_.IsReady(L"F:"));
    EXPECT_FALSE(files_.IsReady(L"Q:"));

    PosixFileSystemService onAFile({{L"G:", tree_.File("plain.txt").string()}});
    EXPECT_FALSE(onAFile.IsReady(L"G:"));
}

TEST_F(PosixDrivesTest, PathsGoThroughTheTableAndNeverClimbOutOfTheDrive) {
    OnStick("Fotos/a.txt");
    const fs::path secret = tree_.File("disk/secreto.txt");
    EXPECT_TRUE(files_.FileExists(L"e:\\Fotos\\a.txt"));
    EXPECT_TRUE(files_.FileExists(L"E:/Fotos/a.txt"));
    EXPECT_FALSE(files_.FileExists(L"Q:\\Fotos\\a.txt"));
    EXPECT_FALSE(files_.FileExists(L"E:Fotos\\a.txt"));
    EXPECT_FALSE(files_.FileExists(L"E:\\..\\disk\\secreto.txt"));

    const std::error_code notADrive = VelquorError::NotADrivePath;
    EXPECT_EQ(files_.DeleteFile(L"E:\\..\\disk\\secreto.txt", true), notADrive);
    EXPECT_EQ(files_.CopyFile(L"Q:\\a.txt", L"E:\\b.txt", false), notADrive);
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\Fotos\\..\\..", true, {})),
              OneFailure(L"E:\\Fotos\\..\\..", notADrive));
    EXPECT_TRUE(fs::exists(secret));
    EXPECT_TRUE(Exists("Fotos/a.txt"));
}

TEST_F(PosixRootsTest, FoldersAndFilesAreToldApartHiddenNamesIncluded) {
    tree_.Folder("stick/Fotos");
    tree_.Folder("stick/.oculta");
    OnStick(".hidden");
    OnStick("autorun.inf");
    tree_.Link("stick/toFotos", "Fotos");
    tree_.Link("stick/toAutorun", "autorun.inf");
    tree_.Link("stick/broken", "nowhere");

    const RootEntries folders = RootFolders(files_, L"E:");
    const RootEntries rootFiles = RootFiles(files_, L"E:");
    EXPECT_FALSE(folders.error);
    EXPECT_FALSE(rootFiles.error);
    EXPECT_EQ(Sorted(folders.paths), (Paths{L"E:\\.oculta", L"E:\\Fotos", L"E:\\toFotos"}));
    EXPECT_EQ(Sorted(rootFiles.paths),
              (Paths{L"E:\\.hidden", L"E:\\autorun.inf", L"E:\\broken", L"E:\\toAutorun"}));
}

TEST_F(PosixRootsTest, FortyThousandEntriesComeBackAllInTheSystemsOrder) {
    constexpr std::size_t kEntries = 40000;
    for (std::size_t i = 0; i < kEntries; ++i) {
        std::ofstream(stick_ / ("f" + std::to_string(i) + ".txt"));
    }
    Paths readdirOrder;
    for (const fs::directory_entry& entry : fs::directory_iterator(stick_)) {
        readdirOrder.push_back(L"E:\\" + entry.path().filename().wstring());
    }

    const RootEntries listed = RootFiles(files_, L"E:");
    EXPECT_FALSE(listed.error);
    ASSERT_EQ(listed.paths.size(), kEntries);
    EXPECT_EQ(listed.paths, readdirOrder);
    EXPECT_EQ(RootFolders(files_, L"E:").paths, Paths{});
}

TEST_F(PosixRootsTest, ARootThatCannotBeOpenedGivesItsErrorAndNoPaths) {
    const RootEntries noCard = RootFolders(files_, L"F:");
    EXPECT_EQ(noCard.error, Errc(std::errc::no_such_file_or_directory));
    EXPECT_EQ(noCard.paths, Paths{});
    const RootEntries unknown = RootFiles(files_, L"Q:");
    EXPECT_EQ(unknown.error, std::error_code(VelquorError::NotADrivePath));
    EXPECT_EQ(unknown.paths, Paths{});
}

TEST_F(PosixRootsTest, NamesInAnyScriptRoundTrip) {
    OnStick("Фото/写真.jpg", "abc");
    OnStick("😀 notas.txt");

    EXPECT_EQ(RootFolders(files_, L"E:").paths, Paths{L"E:\\Фото"});
    EXPECT_EQ(RootFiles(files_, L"E:").paths, Paths{L"E:\\😀 notas.txt"});
    EXPECT_EQ(files_.Name(L"E:\\Фото\\写真.jpg"), L"写真.jpg");
    EXPECT_EQ(files_.CopyFile(L"E:\\Фото\\写真.jpg", L"E:\\Фото\\Ωμέγα.jpg", false),
              std::error_code());
    EXPECT_EQ(TempTree::Contents(stick_ / "Фото/Ωμέγα.jpg"), "abc");
    EXPECT_EQ(files_.DeleteFile(L"E:\\😀 notas.txt", false), std::error_code());
    EXPECT_FALSE(Exists("😀 notas.txt"));
}

TEST_F(PosixRootsTest, ANameThatIsNotUtf8IsListedAndCanBeDeleted) {
    OnStick("viejo\xE9.txt");  // Latin-1, as old cameras write
    const Paths listed = RootFiles(files_, L"E:").paths;
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_TRUE(files_.FileExists(listed[0]));
    EXPECT_EQ(files_.DeleteFile(listed[0], false), std::error_code());
    EXPECT_FALSE(Exists("viejo\xE9.txt"));
}

TEST_F(PosixFactsTest, ExistsTestsFollowLinksAndABrokenLinkIsAFile) {
    OnStick("a.txt");
    tree_.Folder("stick/Fotos");
    tree_.Link("stick/toFotos", "Fotos");
    tree_.Link("stick/broken", "nowhere");

    EXPECT_TRUE(files_.FileExists(L"E:\\a.txt"));
    EXPECT_FALSE(files_.FolderExists(L"E:\\a.txt"));
    EXPECT_TRUE(files_.FolderExists(L"E:\\Fotos"));
    EXPECT_FALSE(files_.FileExists(L"E:\\Fotos"));
    EXPECT_TRUE(files_.FolderExists(L"E:\\toFotos"));
    EXPECT_FALSE(files_.FileExists(L"E:\\toFotos"));
    EXPECT_TRUE(files_.FileExists(L"E:\\broken"));
    EXPECT_FALSE(files_.FolderExists(L"E:\\broken"));
    EXPECT_FALSE(files_.FileExists(L"E:\\nada.txt"));
    EXPECT_FALSE(files_.FolderExists(L"E:\\nada"));
}

TEST_F(PosixFactsTest, NameAndSizeOfFilesFoldersAndMissingPaths) {
    OnStick("Fotos/Vacaciones.JPG", std::string(12345, 'v'));
    OnStick("vacio.txt", "");

    EXPECT_EQ(files_.Name(L"E:\\Fotos\\Vacaciones.JPG"), L"Vacaciones.JPG");
    EXPECT_EQ(files_.Name(L"E:\\Fotos"), L"Fotos");
    EXPECT_EQ(files_.Name(L"E:\\Fotos\\nada.txt"), std::nullopt);
    EXPECT_EQ(files_.FileSize(L"E:\\Fotos\\Vacaciones.JPG"), 12345u);
    EXPECT_EQ(files_.FileSize(L"E:\\vacio.txt"), 0u);
    EXPECT_EQ(files_.FileSize(L"E:\\Fotos"), std::nullopt);
    EXPECT_EQ(files_.FileSize(L"E:\\nada.txt"), std::nullopt);
}

TEST_F(PosixFactsTest, TypeNameIsArchivoAndTheExtensionInCapitals) {
    for (const char* name : {"a.txt", "b.tar.Gz", "README", ".hidden", "punto."}) OnStick(name);
    tree_.Folder("stick/Fotos.old");

    EXPECT_EQ(files_.TypeName(L"E:\\a.txt"), L"Archivo TXT");
    EXPECT_EQ(files_.TypeName(L"E:\\b.tar.Gz"), L"Archivo GZ");
    EXPECT_EQ(files_.TypeName(L"E:\\README"), L"Archivo");
    EXPECT_EQ(files_.TypeName(L"E:\\.hidden"), L"Archivo HIDDEN");
    EXPECT_EQ(files_.TypeName(L"E:\\punto."), L"Archivo");
    EXPECT_EQ(files_.TypeName(L"E:\\Fotos.old"), std::nullopt);
    EXPECT_EQ(files_.TypeName(L"E:\\nada.txt"), std::nullopt);
}

LocalDateTime LocalTimeOf(std::time_t seconds) {
    std::tm local{};
    ::localtime_r(&seconds, &local);
    return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
            local.tm_hour,        local.tm_min,     local.tm_sec};
}

TEST_F(PosixFactsTest, DateCreatedIsTheLocalMomentTheEntryWasMade) {
    const std::time_t before = std::time(nullptr) - 1;  // file-system clocks lag a tick behind
    OnStick("nuevo.txt");
    tree_.Folder("stick/Fotos");
    const std::time_t after = std::time(nullptr);
    std::vector<LocalDateTime> possible;
    for (std::time_t second = before; second <= after; ++second) possible.push_back(LocalTimeOf(second));

    const auto file = files_.DateCreated(L"E:\\nuevo.txt");
    const auto folder = files_.DateCreated(L"E:\\Fotos");
    ASSERT_TRUE(file.has_value());
    ASSERT_TRUE(folder.has_value());
    EXPECT_THAT(possible, ::testing::Contains(*file));
    EXPECT_THAT(possible, ::testing::Contains(*folder));
    EXPECT_EQ(files_.DateCreated(L"E:\\nada.txt"), std::nullopt);
}

TEST_F(PosixCopyFileTest, CopiesEveryByteAndTheModeWhateverTheUmask) {
    std::string contents(600000, '\0');
    for (std::size_t i = 0; i < contents.size(); ++i) contents[i] = static_cast<char>(i * 7);
    const fs::path source = OnStick("a.bin", contents);
    ::chmod(source.c_str(), 0640);

    const mode_t oldMask = ::umask(077);
    const std::error_code ec = files_.CopyFile(L"E:\\a.bin", L"C:\\b.bin", false);
    ::umask(oldMask);

    EXPECT_EQ(ec, std::error_code());
    EXPECT_TRUE(TempTree::Contents(tree_ / "disk/b.bin") == contents);
    EXPECT_EQ(ModeOf(tree_ / "disk/b.bin"), 0640);
}

TEST_F(PosixCopyFileTest, ReplacesOnlyWithOverwriteAndNeverAReadOnlyFile) {
    OnStick("nuevo.txt", "nuevo");
    OnStick("viejo.txt", "viejo");
    TempTree::ReadOnly(OnStick("protegido.txt", "protegido"));

    EXPECT_EQ(files_.CopyFile(L"E:\\nuevo.txt", L"E:\\viejo.txt", false),
              Errc(std::errc::file_exists));
    EXPECT_EQ(TempTree::Contents(stick_ / "viejo.txt"), "viejo");
    EXPECT_EQ(files_.CopyFile(L"E:\\nuevo.txt", L"E:\\viejo.txt", true), std::error_code());
    EXPECT_EQ(TempTree::Contents(stick_ / "viejo.txt"), "nuevo");
    EXPECT_EQ(files_.CopyFile(L"E:\\nuevo.txt", L"E:\\protegido.txt", true),
              Errc(std::errc::permission_denied));
    EXPECT_EQ(TempTree::Contents(stick_ / "protegido.txt"), "protegido");
}

TEST_F(PosixCopyFileTest, FoldersMissingSourcesAndTheFileItselfAreRefused) {
    OnStick("a.txt", "datos");
    tree_.Folder("stick/Fotos");

    EXPECT_EQ(files_.CopyFile(L"E:\\a.txt", L"E:\\a.txt", true), Errc(std::errc::invalid_argument));
    EXPECT_EQ(TempTree::Contents(stick_ / "a.txt"), "datos");
    EXPECT_EQ(files_.CopyFile(L"E:\\Fotos", L"E:\\b.txt", false), Errc(std::errc::is_a_directory));
    EXPECT_EQ(files_.CopyFile(L"E:\\a.txt", L"E:\\Fotos", true), Errc(std::errc::is_a_directory));
    EXPECT_EQ(files_.CopyFile(L"E:\\nada.txt", L"E:\\c.txt", false),
              Errc(std::errc::no_such_file_or_directory));
    EXPECT_FALSE(Exists("b.txt"));
    EXPECT_FALSE(Exists("c.txt"));
}

TEST_F(PosixCopyFileTest, ALinkAsTargetIsReplacedAndItsTargetLeftAlone) {
    const fs::path outside = tree_.File("outside.txt", "fuera");
    OnStick("a.txt", "datos");
    tree_.Link("stick/enlace.txt", outside);

    EXPECT_EQ(files_.CopyFile(L"E:\\a.txt", L"E:\\enlace.txt", true), std::error_code());
    EXPECT_EQ(TempTree::Contents(outside), "fuera");
    EXPECT_FALSE(fs::is_symlink(stick_ / "enlace.txt"));
    EXPECT_EQ(TempTree::Contents(stick_ / "enlace.txt"), "datos");
}

TEST_F(PosixCopyFolderTest, CopiesTheWholeTreeIntoANewFolder) {
    OnStick("src/a.txt", "a");
    OnStick("src/sub/b.txt", "b");
    OnStick("src/sub/deeper/c.txt", "c");
    tree_.Folder("stick/src/empty");

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", L"C:\\copia", false)), Failures{});
    const fs::path copy = tree_ / "disk/copia";
    EXPECT_EQ(TempTree::Contents(copy / "a.txt"), "a");
    EXPECT_EQ(TempTree::Contents(copy / "sub/b.txt"), "b");
    EXPECT_EQ(TempTree::Contents(copy / "sub/deeper/c.txt"), "c");
    EXPECT_TRUE(fs::is_directory(copy / "empty"));
}

TEST_F(PosixCopyFolderTest, LinksAndLoopsAreReportedNotFollowedAndTheRestIsCopied) {
    OnStick("src/a.txt", "a");
    OnStick("src/sub/b.txt", "b");
    tree_.File("outside/x.txt");
    tree_.Link("stick/src/sub/loop", "..");
    tree_.Link("stick/src/toA", "a.txt");
    tree_.Link("stick/src/out", tree_ / "outside");

    const std::error_code link = VelquorError::LinkNotFollowed;
    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", L"E:\\copia", false)),
              (Failures{{L"E:\\src\\out", link}, {L"E:\\src\\sub\\loop", link},
                        {L"E:\\src\\toA", link}}));
    EXPECT_EQ(TempTree::Contents(stick_ / "copia/a.txt"), "a");
    EXPECT_EQ(TempTree::Contents(stick_ / "copia/sub/b.txt"), "b");
    EXPECT_FALSE(Exists("copia/sub/loop"));
    EXPECT_FALSE(Exists("copia/out"));

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src\\out", L"E:\\fuera", false)),
              (Failures{{L"E:\\src\\out", link}}));
    EXPECT_FALSE(Exists("fuera"));
}

TEST_F(PosixCopyFolderTest, IntoItselfOrItsOwnSubtreeIsRefusedWithNothingCreated) {
    OnStick("src/a.txt");
    tree_.Link("stick/alias", "src");
    const Failures refused = OneFailure(L"E:\\src", VelquorError::DestinationInsideSource);

    for (const wchar_t* destination :
         {L"E:\\src", L"E:\\src\\copia", L"e:\\SRC\\x\\y", L"E:\\alias\\copia", L"E:\\alias"}) {
        EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", destination, true)), refused)
            << ::testing::PrintToString(std::wstring(destination));
    }
    const auto children = std::distance(fs::directory_iterator(stick_ / "src"), {});
    EXPECT_EQ(children, 1);

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", L"E:\\src2", true)), Failures{});
    EXPECT_TRUE(Exists("src2/a.txt"));
}

TEST_F(PosixCopyFolderTest, AnExistingFolderIsReusedAndItsFilesReplacedOnlyWithOverwrite) {
    OnStick("src/a.txt", "nuevo");
    OnStick("src/b.txt", "b");
    const fs::path old = tree_.File("disk/copia/a.txt", "viejo");

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", L"C:\\copia", false)),
              OneFailure(L"E:\\src\\a.txt", Errc(std::errc::file_exists)));
    EXPECT_EQ(TempTree::Contents(old), "viejo");
    EXPECT_EQ(TempTree::Contents(tree_ / "disk/copia/b.txt"), "b");

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", L"C:\\copia", true)), Failures{});
    EXPECT_EQ(TempTree::Contents(old), "nuevo");
}

TEST_F(PosixCopyFolderTest, AFileInTheWayOrAMissingSourceIsOneFailure) {
    OnStick("src/a.txt");
    OnStick("copia", "archivo");

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", L"E:\\copia", true)),
              OneFailure(L"E:\\src", Errc(std::errc::file_exists)));
    EXPECT_EQ(TempTree::Contents(stick_ / "copia"), "archivo");
    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\nada", L"E:\\otra", true)),
              OneFailure(L"E:\\nada", Errc(std::errc::no_such_file_or_directory)));
    EXPECT_FALSE(Exists("otra"));
}

TEST_F(PosixDeleteTest, AReadOnlyFileGoesOnlyWithForce) {
    TempTree::ReadOnly(OnStick("autorun.inf"));

    EXPECT_EQ(files_.DeleteFile(L"E:\\autorun.inf", false), Errc(std::errc::permission_denied));
    EXPECT_TRUE(Exists("autorun.inf"));
    EXPECT_EQ(files_.DeleteFile(L"E:\\autorun.inf", true), std::error_code());
    EXPECT_FALSE(Exists("autorun.inf"));
    EXPECT_EQ(files_.DeleteFile(L"E:\\autorun.inf", true),
              Errc(std::errc::no_such_file_or_directory));
}

TEST_F(PosixDeleteTest, DeleteFileRemovesLinksNotTheirTargetsAndRefusesFolders) {
    OnStick("a.txt");
    tree_.Folder("stick/Fotos");
    tree_.Link("stick/toA", "a.txt");
    tree_.Link("stick/toFotos", "Fotos");

    EXPECT_EQ(files_.DeleteFile(L"E:\\toA", false), std::error_code());
    EXPECT_EQ(files_.DeleteFile(L"E:\\toFotos", false), std::error_code());
    EXPECT_EQ(files_.DeleteFile(L"E:\\Fotos", true), Errc(std::errc::is_a_directory));
    EXPECT_FALSE(Exists("toA"));
    EXPECT_FALSE(Exists("toFotos"));
    EXPECT_TRUE(Exists("a.txt"));
    EXPECT_TRUE(Exists("Fotos"));
}

TEST_F(PosixDeleteTest, AReadOnlyFileDeepInsideStopsOnlyItselfWithoutForce) {
    TempTree::ReadOnly(OnStick("RECYCLER/a/b/c/virus.exe"));
    OnStick("RECYCLER/a/b/otro.txt");
    OnStick("RECYCLER/x.txt");

    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\RECYCLER", false, {})),
              OneFailure(L"E:\\RECYCLER\\a\\b\\c\\virus.exe", Errc(std::errc::permission_denied)));
    EXPECT_TRUE(Exists("RECYCLER/a/b/c/virus.exe"));
    EXPECT_FALSE(Exists("RECYCLER/a/b/otro.txt"));
    EXPECT_FALSE(Exists("RECYCLER/x.txt"));

    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\RECYCLER", true, {})), Failures{});
    EXPECT_FALSE(Exists("RECYCLER"));
}

TEST_F(PosixDeleteTest, ReadOnlyFoldersAtAnyDepthGoOnlyWithForce) {
    TempTree::ReadOnly(OnStick("d/a/b/f.txt"));
    TempTree::ReadOnly(stick_ / "d/a/b");
    TempTree::ReadOnly(stick_ / "d");

    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\d", false, {})),
              OneFailure(L"E:\\d", Errc(std::errc::permission_denied)));
    EXPECT_TRUE(Exists("d/a/b/f.txt"));
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\d", true, {})), Failures{});
    EXPECT_FALSE(Exists("d"));
}

TEST_F(PosixDeleteTest, LinksInsideAreRemovedAndTheirTargetsSurviveUntouched) {
    const fs::path keep = tree_.File("outside/keep.txt", "guardar");
    TempTree::ReadOnly(keep);
    TempTree::ReadOnly(tree_ / "outside");
    OnStick("d/x.txt");
    tree_.Link("stick/d/out", tree_ / "outside");
    tree_.Link("stick/d/toKeep", keep);
    tree_.Link("stick/d/sub/loop", "..");

    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\d", true, {})), Failures{});
    EXPECT_FALSE(Exists("d"));
    EXPECT_EQ(TempTree::Contents(keep), "guardar");
    EXPECT_EQ(ModeOf(keep), 0444);
    EXPECT_EQ(ModeOf(tree_ / "outside"), 0555);
}

TEST_F(PosixDeleteTest, AFolderThatIsALinkLosesTheLinkOnly) {
    const fs::path keep = tree_.File("outside/keep.txt");
    tree_.Link("stick/atajo", tree_ / "outside");

    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\atajo", false, {})), Failures{});
    EXPECT_FALSE(Exists("atajo"));
    EXPECT_TRUE(fs::exists(keep));
}

TEST_F(PosixDeleteTest, MissingPathsAndFilesAreFailuresNotCrashes) {
    OnStick("a.txt");

    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\nada", true, {})),
              OneFailure(L"E:\\nada", Errc(std::errc::no_such_file_or_directory)));
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\a.txt", true, {})),
              OneFailure(L"E:\\a.txt", Errc(std::errc::not_a_directory)));
    EXPECT_TRUE(Exists("a.txt"));
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"Q:\\x", true, {})),
              OneFailure(L"Q:\\x", VelquorError::NotADrivePath));
}

TEST_F(PosixLongPathTest, PathsOfSixHundredCharactersWork) {
    std::string host = "largo";
    std::wstring windows = L"E:\\largo";
    for (char level = '0'; level < '6'; ++level) {
        host += '/' + std::string(99, 'n') + level;
        windows += L'\\' + std::wstring(99, L'n') + static_cast<wchar_t>(level);
    }
    OnStick(host + "/dato.txt", "abc");
    const std::wstring file = windows + L"\\dato.txt";
    ASSERT_GT(file.size(), 600u);

    EXPECT_TRUE(files_.FileExists(file));
    EXPECT_EQ(files_.FileSize(file), 3u);
    EXPECT_EQ(files_.CopyFile(file, windows + L"\\copia.txt", false), std::error_code());
    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\largo", L"E:\\copia", false)), Failures{});
    EXPECT_EQ(TempTree::Contents(stick_ / "copia" / host.substr(6) / "copia.txt"), "abc");
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\largo", false, {})), Failures{});
    EXPECT_FALSE(Exists("largo"));
}

TEST_F(PosixLongPathTest, ATreeThreeHundredFoldersDeepIsCopiedAndDeleted) {
    std::string deep = "d";
    for (int level = 1; level < 300; ++level) deep += "/d";
    TempTree::ReadOnly(OnStick(deep + "/fondo.txt", "fondo"));

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\d", L"E:\\copia", false)), Failures{});
    EXPECT_EQ(TempTree::Contents(stick_ / "copia" / deep.substr(2) / "fondo.txt"), "fondo");
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\d", true, {})), Failures{});
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\copia", true, {})), Failures{});
    EXPECT_FALSE(Exists("d"));
    EXPECT_FALSE(Exists("copia"));
}

}  // namespace
