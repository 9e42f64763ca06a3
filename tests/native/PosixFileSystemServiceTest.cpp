#include "listing/PosixFileSystemService.h"

#include <fcntl.h>
#include <sched.h>
#include <sys/mount.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "listing/VelquorError.h"
#include "support/TempTree.h"
#include "tests/common/FileSystemServiceContract.h"
#include "tests/common/RootEntries.h"

namespace {

namespace fs = std::filesystem;
using contract::Failures;
using contract::FailuresOf;
using Paths = std::vector<std::wstring>;

std::error_code Errc(std::errc code) { return std::make_error_code(code); }

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

Failures OneFailure(std::wstring path, std::error_code error) { return {{std::move(path), error}}; }

int ModeOf(const fs::path& path) {
    struct stat facts {};
    ::lstat(path.c_str(), &facts);
    return static_cast<int>(facts.st_mode & 07777);
}

// The drives of every test here, all temporary folders: a stick as E:, an empty card slot as F:
// and a fixed disk as C:.
class PosixDrives {
public:
    PosixDrives()
        : stick_(tree_.Folder("stick")),
          disk_(tree_.Folder("disk")),
          files_({{L"E:", stick_.string(), DriveKind::Removable},
                  {L"F:", (tree_ / "no-card").string(), DriveKind::Removable},
                  {L"C:", disk_.string(), DriveKind::Fixed}}) {}

protected:
    TempTree tree_;
    fs::path stick_;
    fs::path disk_;
    PosixFileSystemService files_;
};

// The contract's stick: POSIX folders presented as drives. POSIX has no hidden or system
// attribute (a name with a dot is as hidden as it gets), so only read-only is set.
class PosixStick : private PosixDrives {
public:
    void SetUp() {}
    FileSystemService& Service() { return files_; }
    std::wstring Drive() const { return L"E:"; }
    std::wstring OtherDrive() const { return L"C:"; }
    std::wstring NotReadyDrive() const { return L"F:"; }

    void Folder(const std::wstring& path, Attributes = {}) {
        std::error_code ec;
        fs::create_directory(Host(path), ec);
        EXPECT_FALSE(ec) << Host(path) << ": " << ec.message();
    }
    void MakeReadOnly(const std::wstring& folder) { TempTree::ReadOnly(Host(folder)); }
    void File(const std::wstring& path, std::string_view content, Attributes attributes = {}) {
        const fs::path host = Host(path);
        EXPECT_TRUE(std::ofstream(host, std::ios::binary) << content) << host;
        if (attributes.readOnly) TempTree::ReadOnly(host);
    }
    bool Link(const std::wstring& link, const std::wstring& target) {
        std::error_code ec;
        fs::create_symlink(Host(target), Host(link), ec);
        if (ec) ADD_FAILURE() << "no link at " << Host(link) << ": " << ec.message();
        return !ec;
    }
    void Move(const std::wstring& from, const std::wstring& to) {
        std::error_code ec;
        fs::rename(Host(from), Host(to), ec);
        EXPECT_FALSE(ec) << Host(from) << ": " << ec.message();
    }
    std::string Content(const std::wstring& path) const {
        if (!fs::is_regular_file(Host(path))) return "<missing>";
        return TempTree::Contents(Host(path));
    }
    bool Exists(const std::wstring& path) const {
        return fs::exists(fs::symlink_status(Host(path)));
    }
    bool IsReadOnly(const std::wstring& path) const { return (ModeOf(Host(path)) & S_IWUSR) == 0; }

    struct Held {};
    Held HoldOpen(const std::wstring&) { return {}; }
    static std::optional<std::string> CannotHoldOpen() {
        return "POSIX deletes an open file all the same: nothing here can hold one";
    }
    static bool RemovesLinks() { return true; }
    // The deepest host path stays within PATH_MAX.
    static constexpr int kDeepTree = 1500;
    static LocalDateTime Now() {
        const std::time_t now = std::time(nullptr);
        std::tm local{};
        ::localtime_r(&now, &local);
        return {local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                local.tm_hour,        local.tm_min,     local.tm_sec};
    }

private:
    // "E:\\a\\b" as the host path it stands for.
    fs::path Host(const std::wstring& path) const {
        fs::path host = path.starts_with(L"E:") ? stick_ : disk_;
        std::wstring rest = path.substr(std::min<std::size_t>(3, path.size()));
        std::replace(rest.begin(), rest.end(), L'\\', L'/');
        // As UTF-32, which the path turns into UTF-8 whatever the locale.
        return rest.empty() ? host : host / std::u32string(rest.begin(), rest.end());
    }
};

}  // namespace

VELQUOR_FILE_SYSTEM_CONTRACT(Posix, PosixStick);

namespace {

class PosixServiceTest : public PosixDrives, public ::testing::Test {
protected:
    fs::path OnStick(const std::string& relative, const std::string& contents = "x") {
        return tree_.File("stick/" + relative, contents);
    }
    // True while the entry is there, a dangling link included.
    bool Exists(const std::string& relative) const {
        return fs::exists(fs::symlink_status(stick_ / relative));
    }
};

using PosixDrivesTest = PosixServiceTest;
using PosixRootsTest = PosixServiceTest;
using PosixFactsTest = PosixServiceTest;
using PosixCopyFileTest = PosixServiceTest;
using PosixCopyFolderTest = PosixServiceTest;
using PosixDeleteTest = PosixServiceTest;

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
    EXPECT_EQ(files_.CopyFile(L"Q:\\a.txt", L"E:\\b.txt", false), notADrive);
    EXPECT_EQ(files_.CopyFile(L"E:\\..\\disk\\secreto.txt", L"E:\\b.txt", false), notADrive);
    EXPECT_EQ(files_.DeleteFile(L"Q:\\a.txt", true), notADrive);
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"Q:\\x", true, contract::Nothing())),
              OneFailure(L"Q:\\x", notADrive));
    EXPECT_EQ(RootFiles(files_, L"Q:").error, notADrive);
    EXPECT_TRUE(fs::exists(secret));
    EXPECT_TRUE(Exists("Fotos/a.txt"));
}

TEST_F(PosixRootsTest, ThirtyTwoThousandSevenHundredSixtyEightEntriesComeBackInTheSystemsOrder) {
    // One past the largest 16-bit count; made with bare system calls, as fast as a folder fills.
    constexpr std::size_t kEntries = 32768;
    for (std::size_t i = 0; i < kEntries; ++i) {
        const std::string name = (stick_ / ("f" + std::to_string(i))).string();
        ASSERT_EQ(::close(::creat(name.c_str(), 0644)), 0) << name;
    }
    Paths readdirOrder;
    for (const fs::directory_entry& entry : fs::directory_iterator(stick_)) {
        readdirOrder.push_back(L"E:\\" + entry.path().filename().wstring());
    }

    const RootEntries listed = RootFiles(files_, L"E:");
    EXPECT_FALSE(listed.error);
    ASSERT_EQ(listed.paths.size(), kEntries);
    EXPECT_TRUE(listed.paths == readdirOrder);
    EXPECT_EQ(RootFolders(files_, L"E:").paths, Paths{});
}

TEST_F(PosixRootsTest, ABrokenLinkIsAFileToTheListingAndTheExistsTests) {
    OnStick(".oculto");
    tree_.Link("stick/roto", "nowhere");

    EXPECT_EQ(Sorted(RootFiles(files_, L"E:").paths), (Paths{L"E:\\.oculto", L"E:\\roto"}));
    EXPECT_TRUE(files_.FileExists(L"E:\\roto"));
    EXPECT_FALSE(files_.FolderExists(L"E:\\roto"));
    EXPECT_EQ(files_.DeleteFile(L"E:\\roto", false), std::error_code());
    EXPECT_FALSE(Exists("roto"));
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

TEST_F(PosixRootsTest, ABackslashInANameIsListedApartFromSeparatorsAndReachesOnlyThatEntry) {
    // Linux takes "Fotos\\boda.jpg" as one name; a folder Fotos with boda.jpg stands beside it.
    OnStick("Fotos\\boda.jpg", "una");
    OnStick("Fotos/boda.jpg", "otra");
    OnStick("\xEF\x81\x9C.txt", "privado");  // U+F05C itself, the character shown for '\\'
    const std::wstring oneName = L"E:\\Fotos\uF05Cboda.jpg";

    const Paths listed = Sorted(RootFiles(files_, L"E:").paths);
    ASSERT_EQ(listed.size(), 2u);
    EXPECT_EQ(listed[0], oneName);
    EXPECT_NE(listed[1], L"E:\\\uF05C.txt");
    EXPECT_TRUE(files_.FileExists(listed[1]));
    EXPECT_EQ(files_.FileSize(oneName), 3u);
    EXPECT_EQ(files_.Name(oneName), L"Fotos\uF05Cboda.jpg");
    EXPECT_EQ(files_.CopyFile(oneName, L"C:\\copia.jpg", false), std::error_code());
    EXPECT_EQ(TempTree::Contents(disk_ / "copia.jpg"), "una");

    EXPECT_EQ(files_.DeleteFile(oneName, false), std::error_code());
    EXPECT_FALSE(Exists("Fotos\\boda.jpg"));
    EXPECT_EQ(TempTree::Contents(stick_ / "Fotos/boda.jpg"), "otra");
    EXPECT_EQ(files_.DeleteFile(listed[1], false), std::error_code());
    EXPECT_FALSE(Exists("\xEF\x81\x9C.txt"));
}

TEST_F(PosixDeleteTest, ABackslashNamedFolderIsDeletedWithItsContentsAndNothingBeside) {
    OnStick("a\\b/dentro.txt");
    OnStick("a/b/fuera.txt", "fuera");

    EXPECT_EQ(RootFolders(files_, L"E:").paths.size(), 2u);
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\a\uF05Cb", false, contract::Nothing())), Failures{});
    EXPECT_FALSE(Exists("a\\b"));
    EXPECT_EQ(TempTree::Contents(stick_ / "a/b/fuera.txt"), "fuera");
}

// Mounting needs a mount namespace of the test's own (so nothing shows outside it) and the right
// to make one; a bind mount keeps the device number, so only the mount id tells it apart.
std::optional<std::string> WhyNoPrivateMounts() {
    if (::unshare(CLONE_NEWNS) != 0) {
        return "this process may not make a mount namespace: " + std::generic_category().message(errno);
    }
    if (::mount(nullptr, "/", nullptr, MS_REC | MS_PRIVATE, nullptr) != 0) {
        return "mounts cannot be made private: " + std::generic_category().message(errno);
    }
    return std::nullopt;
}

TEST_F(PosixDeleteTest, AMountInsideADeletedFolderIsLeftAndReported) {
    const fs::path outside = tree_.File("outside/keep.txt", "guardar").parent_path();
    OnStick("d/x.txt");
    const fs::path mountPoint = tree_.Folder("stick/d/montado");
    if (const auto reason = WhyNoPrivateMounts()) GTEST_SKIP() << *reason;
    ASSERT_EQ(::mount(outside.c_str(), mountPoint.c_str(), nullptr, MS_BIND, nullptr), 0)
        << "bind mount: errno " << errno;

    const Failures failures = FailuresOf(files_.DeleteFolder(L"E:\\d", true, contract::Nothing()));
    ::umount2(mountPoint.c_str(), MNT_DETACH);

    EXPECT_EQ(failures, OneFailure(L"E:\\d\\montado", VelquorError::OtherFileSystem));
    EXPECT_EQ(TempTree::Contents(outside / "keep.txt"), "guardar");
    EXPECT_FALSE(Exists("d/x.txt"));
    EXPECT_TRUE(Exists("d/montado"));
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

TEST_F(PosixCopyFileTest, NeverReplacesAReadOnlyFile) {
    OnStick("nuevo.txt", "nuevo");
    TempTree::ReadOnly(OnStick("protegido.txt", "protegido"));

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

TEST_F(PosixCopyFolderTest, ALinkToTheSourceCannotSmuggleTheCopyIntoIt) {
    OnStick("src/a.txt");
    tree_.Link("stick/alias", "src");
    const Failures refused = OneFailure(L"E:\\src", VelquorError::DestinationInsideSource);

    for (const wchar_t* destination : {L"E:\\alias\\copia", L"E:\\alias"}) {
        EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", destination, true)), refused)
            << ::testing::PrintToString(std::wstring(destination));
    }
    const auto children = std::distance(fs::directory_iterator(stick_ / "src"), {});
    EXPECT_EQ(children, 1);

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", L"E:\\src2", true)), Failures{});
    EXPECT_TRUE(Exists("src2/a.txt"));
}

}  // namespace
