#include "PosixFileSystemService.h"

#include <fcntl.h>
#include <linux/fs.h>
#include <sched.h>
#include <sys/ioctl.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <sys/xattr.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstring>

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

#include "VelquorError.h"
#include "support/PosixAttributes.h"
#include "support/TempTree.h"
#include "common/contract/AllContracts.h"
#include "common/RootEntries.h"

namespace {

namespace fs = std::filesystem;
using contract::Failures;
using contract::FailuresOf;
using contract::Nothing;
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
    posix::FileSystemService files_;
};

constexpr char kDosAttribute[] = "user.DOSATTRIB";

// Gives a host entry hidden and system where Wine keeps them, as Wine writes them ("0x6").
void MarkAsWineDoes(const fs::path& host, Attributes attributes) {
    const Attributes dos = attributes & (attributes::kHidden | attributes::kSystem);
    if (dos == 0) return;
    const std::string value = "0x" + std::to_string(dos);  // below 10: the same in hex
    EXPECT_EQ(::setxattr(host.c_str(), kDosAttribute, value.data(), value.size(), 0), 0)
        << host << ": " << std::strerror(errno);
}

std::string DosAttribute(const fs::path& host) {
    char value[64];
    const ssize_t length = ::getxattr(host.c_str(), kDosAttribute, value, sizeof value);
    return length < 0 ? "<none>" : std::string(value, static_cast<std::size_t>(length));
}

// Writes past a size fail (EFBIG) while it lives, as on a full disk, instead of ending the process.
class WritesCappedAt {
public:
    explicit WritesCappedAt(rlim_t bytes) {
        ::getrlimit(RLIMIT_FSIZE, &previous_);
        const rlimit capped{bytes, previous_.rlim_max};
        EXPECT_EQ(::setrlimit(RLIMIT_FSIZE, &capped), 0) << std::strerror(errno);
        previousAction_ = std::signal(SIGXFSZ, SIG_IGN);
    }
    WritesCappedAt(const WritesCappedAt&) = delete;
    WritesCappedAt& operator=(const WritesCappedAt&) = delete;
    ~WritesCappedAt() {
        ::setrlimit(RLIMIT_FSIZE, &previous_);
        std::signal(SIGXFSZ, previousAction_);
    }

private:
    rlimit previous_{};
    void (*previousAction_)(int) = nullptr;
};

// The contract's stick: POSIX folders presented as drives, with attributes where Wine keeps them.
class PosixStick : private PosixDrives {
public:
    void SetUp() {}
    FileSystemService& Service() { return files_; }
    std::wstring Drive() const { return L"E:"; }
    std::wstring OtherDrive() const { return L"C:"; }
    std::wstring NotReadyDrive() const { return L"F:"; }

    void Folder(const std::wstring& path, Attributes attributes = 0) {
        std::error_code ec;
        fs::create_directory(Host(path), ec);
        EXPECT_FALSE(ec) << Host(path) << ": " << ec.message();
        MarkAsWineDoes(Host(path), attributes);
    }
    void MakeReadOnly(const std::wstring& folder) { TempTree::ReadOnly(Host(folder)); }
    void File(const std::wstring& path, std::string_view content, Attributes attributes = 0) {
        const fs::path host = Host(path);
        EXPECT_TRUE(std::ofstream(host, std::ios::binary) << content) << host;
        MarkAsWineDoes(host, attributes);
        if (attributes & attributes::kReadOnly) TempTree::ReadOnly(host);
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
    std::optional<Attributes> AttributesOf(const std::wstring& path) const { return ::AttributesOf(Host(path)); }
    contract::Paths Names(const std::wstring& folder) const {
        contract::Paths names;
        for (const fs::directory_entry& entry : fs::directory_iterator(Host(folder))) {
            names.push_back(entry.path().filename().wstring());
        }
        return contract::Sorted(names);
    }
    void Backdate(const std::wstring& path) {
        const timespec times[2] = {{0, UTIME_OMIT}, {kLongAgo, 0}};
        EXPECT_EQ(::utimensat(AT_FDCWD, Host(path).c_str(), times, AT_SYMLINK_NOFOLLOW), 0)
            << Host(path) << ": " << std::strerror(errno);
    }
    std::optional<std::int64_t> LastWrite(const std::wstring& path) const {
        struct stat facts {};
        if (::lstat(Host(path).c_str(), &facts) != 0) return std::nullopt;
        return facts.st_mtim.tv_sec;
    }
    contract::Paths CopyWithLittleRoom(const std::wstring& source, const std::wstring& destination,
                                       bool folder) {
        const WritesCappedAt cap(contract::kRoom);
        CopyRun run;
        if (folder) {
            return contract::FailedPaths(
                files_.CopyFolder(source, destination, true, run, contract::Nothing()));
        }
        if (files_.CopyFile(source, destination, true, run, contract::Nothing())) return {source};
        return {};
    }

    struct Held {};
    Held HoldOpen(const std::wstring&) { return {}; }
    static std::optional<std::string> CannotHoldOpen() {
        return "POSIX deletes an open file all the same: nothing here can hold one";
    }
    static bool RemovesLinks() { return true; }
    static bool KeepsReadOnlyFolders() { return true; }
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
    static constexpr std::time_t kLongAgo = 981173106;  // 2001-02-03

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

    CopyRun run_;
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

    posix::FileSystemService onAFile({{L"G:", tree_.File("plain.txt").string()}});
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
    EXPECT_EQ(files_.CopyFile(L"Q:\\a.txt", L"E:\\b.txt", false, run_, Nothing()), notADrive);
    EXPECT_EQ(files_.CopyFile(L"E:\\..\\disk\\secreto.txt", L"E:\\b.txt", false, run_, Nothing()),
              notADrive);
    EXPECT_EQ(files_.DeleteFile(L"Q:\\a.txt", true), notADrive);
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"Q:\\x", true, Nothing())),
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
    EXPECT_EQ(files_.CopyFile(L"E:\\Фото\\写真.jpg", L"E:\\Фото\\Ωμέγα.jpg", false, run_, Nothing()),
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
    EXPECT_EQ(files_.CopyFile(oneName, L"C:\\copia.jpg", false, run_, Nothing()), std::error_code());
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
    EXPECT_EQ(FailuresOf(files_.DeleteFolder(L"E:\\a\uF05Cb", false, Nothing())), Failures{});
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

    const Failures failures = FailuresOf(files_.DeleteFolder(L"E:\\d", true, Nothing()));
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
    const std::error_code ec = files_.CopyFile(L"E:\\a.bin", L"C:\\b.bin", false, run_, Nothing());
    ::umask(oldMask);

    EXPECT_EQ(ec, std::error_code());
    EXPECT_TRUE(TempTree::Contents(tree_ / "disk/b.bin") == contents);
    EXPECT_EQ(ModeOf(tree_ / "disk/b.bin"), 0640);
}

TEST_F(PosixCopyFileTest, AReadOnlyEarlierCopyGivesWayToTheSourceAndItsMode) {
    ::chmod(OnStick("nuevo.txt", "nuevo").c_str(), 0640);
    TempTree::ReadOnly(OnStick("protegido.txt", "protegido"));

    EXPECT_EQ(files_.CopyFile(L"E:\\nuevo.txt", L"E:\\protegido.txt", true, run_, Nothing()),
              std::error_code());
    EXPECT_EQ(TempTree::Contents(stick_ / "protegido.txt"), "nuevo");
    EXPECT_EQ(ModeOf(stick_ / "protegido.txt"), 0640);
}

TEST_F(PosixCopyFileTest, FoldersMissingSourcesAndTheFileItselfAreRefused) {
    OnStick("a.txt", "datos");
    tree_.Folder("stick/Fotos");

    EXPECT_EQ(files_.CopyFile(L"E:\\a.txt", L"E:\\a.txt", true, run_, Nothing()),
              VelquorError::DestinationIsSource);
    EXPECT_EQ(TempTree::Contents(stick_ / "a.txt"), "datos");
    EXPECT_EQ(files_.CopyFile(L"E:\\Fotos", L"E:\\b.txt", false, run_, Nothing()),
              Errc(std::errc::is_a_directory));
    EXPECT_EQ(files_.CopyFile(L"E:\\a.txt", L"E:\\Fotos", true, run_, Nothing()),
              Errc(std::errc::is_a_directory));
    EXPECT_EQ(files_.CopyFile(L"E:\\nada.txt", L"E:\\c.txt", false, run_, Nothing()),
              Errc(std::errc::no_such_file_or_directory));
    EXPECT_FALSE(Exists("b.txt"));
    EXPECT_FALSE(Exists("c.txt"));
}

TEST_F(PosixCopyFileTest, ALinkAsTargetIsReplacedAndItsTargetLeftAlone) {
    const fs::path outside = tree_.File("outside.txt", "fuera");
    OnStick("a.txt", "datos");
    tree_.Link("stick/enlace.txt", outside);

    EXPECT_EQ(files_.CopyFile(L"E:\\a.txt", L"E:\\enlace.txt", true, run_, Nothing()), std::error_code());
    EXPECT_EQ(TempTree::Contents(outside), "fuera");
    EXPECT_FALSE(fs::is_symlink(stick_ / "enlace.txt"));
    EXPECT_EQ(TempTree::Contents(stick_ / "enlace.txt"), "datos");
}

// A program killed half-way through a file leaves its earlier backup as it was and nothing beside.
TEST_F(PosixCopyFileTest, AKillMidFileLeavesTheEarlierBackupAndNoTemporaryFile) {
    OnStick("grande.bin", std::string(3 * 1024 * 1024, 'n'));
    const std::string earlier(5000, 'e');
    tree_.File("disk/grande.bin", earlier);

    const pid_t child = ::fork();
    ASSERT_NE(child, -1);
    if (child == 0) {
        files_.CopyFile(L"E:\\grande.bin", L"C:\\grande.bin", true, run_, [] { ::raise(SIGKILL); });
        ::_exit(1);
    }
    int status = 0;
    ASSERT_EQ(::waitpid(child, &status, 0), child);
    ASSERT_TRUE(WIFSIGNALED(status) && WTERMSIG(status) == SIGKILL) << "the copy ended on its own";

    std::vector<std::string> names;
    for (const auto& entry : fs::directory_iterator(disk_)) names.push_back(entry.path().filename().string());
    EXPECT_EQ(names, std::vector<std::string>{"grande.bin"});
    EXPECT_TRUE(TempTree::Contents(disk_ / "grande.bin") == earlier);
}

TEST_F(PosixCopyFolderTest, LinksAndLoopsAreReportedNotFollowedAndTheRestIsCopied) {
    OnStick("src/a.txt", "a");
    OnStick("src/sub/b.txt", "b");
    tree_.File("outside/x.txt");
    tree_.Link("stick/src/sub/loop", "..");
    tree_.Link("stick/src/toA", "a.txt");
    tree_.Link("stick/src/out", tree_ / "outside");

    const std::error_code link = VelquorError::LinkNotFollowed;
    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", L"E:\\copia", false, run_, Nothing())),
              (Failures{{L"E:\\src\\out", link}, {L"E:\\src\\sub\\loop", link},
                        {L"E:\\src\\toA", link}}));
    EXPECT_EQ(TempTree::Contents(stick_ / "copia/a.txt"), "a");
    EXPECT_EQ(TempTree::Contents(stick_ / "copia/sub/b.txt"), "b");
    EXPECT_FALSE(Exists("copia/sub/loop"));
    EXPECT_FALSE(Exists("copia/out"));

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src\\out", L"E:\\fuera", false, run_, Nothing())),
              (Failures{{L"E:\\src\\out", link}}));
    EXPECT_FALSE(Exists("fuera"));
}

TEST_F(PosixCopyFolderTest, ALinkToTheSourceCannotSmuggleTheCopyIntoIt) {
    OnStick("src/a.txt");
    tree_.Link("stick/alias", "src");
    const Failures refused = OneFailure(L"E:\\src", VelquorError::DestinationInsideSource);

    for (const wchar_t* destination : {L"E:\\alias\\copia", L"E:\\alias"}) {
        EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", destination, true, run_, Nothing())), refused)
            << ::testing::PrintToString(std::wstring(destination));
    }
    const auto children = std::distance(fs::directory_iterator(stick_ / "src"), {});
    EXPECT_EQ(children, 1);

    EXPECT_EQ(FailuresOf(files_.CopyFolder(L"E:\\src", L"E:\\src2", true, run_, Nothing())), Failures{});
    EXPECT_TRUE(Exists("src2/a.txt"));
}

using PosixAttributesTest = PosixServiceTest;

TEST_F(PosixAttributesTest, HiddenAndSystemLiveWhereWineKeepsThemAndReadOnlyInTheMode) {
    const fs::path file = OnStick("autorun.inf");
    const Attributes all = attributes::kHidden | attributes::kSystem | attributes::kReadOnly;
    MarkAsWineDoes(file, all);
    TempTree::ReadOnly(file);

    const AttributeReport report = files_.ClearAttributes(L"E:\\autorun.inf", all, Nothing());
    EXPECT_EQ(DosAttribute(file), "<none>");
    EXPECT_EQ(ModeOf(file) & 0200, 0200);
    ASSERT_EQ(report.changes.size(), 1u);
    EXPECT_EQ(report.changes[0].before, all);
    EXPECT_EQ(files_.RestoreAttributes(report.changes[0]), std::error_code());
    EXPECT_EQ(DosAttribute(file), "0x6");
    EXPECT_EQ(ModeOf(file) & 0222, 0);
}

TEST_F(PosixAttributesTest, WhatSambaWroteIsReadUpToItsOwnRecordAndJunkAsNothing) {
    const fs::path samba = OnStick("samba.txt");
    const fs::path junk = OnStick("raro.txt");
    static constexpr char kSambaValue[] = "0x22\0\x01\x02";  // hidden and archive, then its record
    ASSERT_EQ(::setxattr(samba.c_str(), kDosAttribute, kSambaValue, sizeof kSambaValue - 1, 0), 0);
    ASSERT_EQ(::setxattr(junk.c_str(), kDosAttribute, "oculto", 6, 0), 0);
    tree_.Folder("stick/carpeta");

    EXPECT_EQ(AttributesOf(samba), attributes::kHidden | attributes::kArchive);
    EXPECT_EQ(AttributesOf(junk), 0u);
    EXPECT_EQ(AttributesOf(stick_ / "carpeta"), attributes::kFolder);
}

// An immutable entry refuses every change, to its owner and to root alike.
class Immutable {
public:
    explicit Immutable(const fs::path& path) : fd_(::open(path.c_str(), O_RDONLY | O_CLOEXEC)) {
        int flags = 0;
        if (fd_ < 0 || ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) != 0) return;
        flags |= FS_IMMUTABLE_FL;
        set_ = ::ioctl(fd_, FS_IOC_SETFLAGS, &flags) == 0;
        why_ = std::strerror(errno);
    }
    Immutable(const Immutable&) = delete;
    Immutable& operator=(const Immutable&) = delete;
    ~Immutable() {
        int flags = 0;
        if (set_ && ::ioctl(fd_, FS_IOC_GETFLAGS, &flags) == 0) {
            flags &= ~FS_IMMUTABLE_FL;
            ::ioctl(fd_, FS_IOC_SETFLAGS, &flags);
        }
        if (fd_ >= 0) ::close(fd_);
    }

    // Why the entry could not be made immutable, if it could not.
    std::optional<std::string> Failure() const {
        if (set_) return std::nullopt;
        return "no immutable flag here (it takes CAP_LINUX_IMMUTABLE and a file system that has "
               "it): " + why_;
    }

private:
    int fd_ = -1;
    bool set_ = false;
    std::string why_;
};

TEST_F(PosixAttributesTest, AWriteProtectedEntryIsReportedAndTheRestCleared) {
    const fs::path locked = OnStick("RECYCLER/bloqueado.exe");
    OnStick("RECYCLER/libre.txt");
    MarkAsWineDoes(locked, attributes::kHidden);
    MarkAsWineDoes(stick_ / "RECYCLER/libre.txt", attributes::kHidden);
    const Immutable immutable(locked);
    if (const auto why = immutable.Failure()) GTEST_SKIP() << *why;

    const AttributeReport report =
        files_.ClearAttributes(L"E:\\RECYCLER", attributes::kHidden, Nothing());

    EXPECT_EQ(FailuresOf(report.failures),
              OneFailure(L"E:\\RECYCLER\\bloqueado.exe", Errc(std::errc::operation_not_permitted)));
    EXPECT_EQ(contract::ChangedPaths(report), Paths{L"E:\\RECYCLER\\libre.txt"});
    EXPECT_EQ(DosAttribute(locked), "0x2");
}

}  // namespace
