#include "listing/Win32FileSystemService_win.h"

#include <algorithm>
#include <cstdlib>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "listing/VelquorError.h"
#include "listing/Win32Error.h"
#include "listing/Win32Handles_win.h"
#include "support/TestDrives.h"
#include "tests/common/RootEntries.h"

void PrintTo(DriveKind type, std::ostream* out) {
    *out << "DriveKind " << static_cast<int>(type);
}

namespace {

using Paths = std::vector<std::wstring>;

std::wstring Long(const std::wstring& path) {
    return L"\\\\?\\" + path;
}

DWORD AttributesOf(const std::wstring& path) {
    return ::GetFileAttributesW(Long(path).c_str());
}

bool Exists(const std::wstring& path) {
    return AttributesOf(path) != INVALID_FILE_ATTRIBUTES;
}

void MakeFolder(const std::wstring& path, DWORD attributes = 0) {
    EXPECT_TRUE(::CreateDirectoryW(Long(path).c_str(), nullptr))
        << path << ": error " << ::GetLastError();
    if (attributes) ::SetFileAttributesW(Long(path).c_str(), attributes);
}

void MakeFile(const std::wstring& path, std::string_view content = "x", DWORD attributes = 0) {
    const UniqueFile file{::CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    DWORD written = 0;
    EXPECT_TRUE(file && ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()),
                                    &written, nullptr))
        << path << ": error " << ::GetLastError();
    if (attributes) ::SetFileAttributesW(Long(path).c_str(), attributes);
}

std::string Content(const std::wstring& path) {
    const UniqueFile file{::CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                        OPEN_EXISTING, 0, nullptr)};
    std::string content(4096, '\0');
    DWORD read = 0;
    if (!file || !::ReadFile(file.Get(), content.data(), 4096, &read, nullptr)) {
        return "<unreadable>";
    }
    content.resize(read);
    return content;
}

// Opens the file without sharing, as a program that holds it would.
UniqueFile HoldOpen(const std::wstring& path) {
    return UniqueFile{::CreateFileW(Long(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0,
                                    nullptr)};
}

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

Paths FailedPaths(const TreeReport& report) {
    Paths paths;
    for (const ItemFailure& failure : report.failures) paths.push_back(failure.path);
    return Sorted(paths);
}

// A folder chain under `base` whose deepest path is longer than 260 characters.
std::wstring MakeLongChain(const std::wstring& base) {
    std::wstring path = base;
    for (int i = 0; i < 6; ++i) {
        path += L"\\" + std::wstring(50, static_cast<wchar_t>(L'a' + i));
        MakeFolder(path);
    }
    return path;
}

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(TestDrives::Mapped()) << "VELQUOR_TEST_DRIVES names no R:, S: and T: "
                                             "(the suite runs through cmake/wine-run)";
        ASSERT_EQ(TestDrives::Empty(L'R'), Paths{});
        ASSERT_EQ(TestDrives::Empty(L'S'), Paths{});
    }

    Win32FileSystemService service_;
};

class DrivesTest : public FileSystemTest {};

TEST_F(DrivesTest, TestDrivesAreListedAsRemovable) {
    const Paths drives = service_.Drives();
    for (const std::wstring drive : {L"R:", L"S:", L"T:"}) {
        EXPECT_NE(std::find(drives.begin(), drives.end(), drive), drives.end()) << drive;
        EXPECT_EQ(service_.DriveType(drive), DriveKind::Removable) << drive;
    }
}

TEST_F(DrivesTest, OnlyAReadableMediumIsReady) {
    EXPECT_TRUE(service_.IsReady(L"R:"));
    EXPECT_TRUE(service_.IsReady(L"S:\\"));
    EXPECT_FALSE(service_.IsReady(L"T:"));
}

TEST_F(DrivesTest, TextThatNamesNoDriveHasNoTypeAndNoEntries) {
    const DWORD used = ::GetLogicalDrives();
    wchar_t unused = L'D';
    while (unused <= L'Z' && (used & (1u << (unused - L'A')))) ++unused;
    ASSERT_LE(unused, L'Z') << "every letter is in use";
    // GetDriveTypeW says 1 (DRIVE_NO_ROOT_DIR) here, which is not the removable 1.
    EXPECT_EQ(service_.DriveType(std::wstring{unused, L':'}), DriveKind::Unknown);
    EXPECT_FALSE(service_.IsReady(std::wstring{unused, L':'}));
    EXPECT_EQ(service_.DriveType(L"R"), DriveKind::Unknown);
    EXPECT_EQ(RootFolders(service_, L"R:\\x").error, VelquorError::NotADrivePath);
}

class RootListingTest : public FileSystemTest {};

TEST_F(RootListingTest, FoldersAndFilesApartWithHiddenAndSystemIncluded) {
    MakeFolder(L"R:\\Fotos");
    MakeFolder(L"R:\\RECYCLER", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFile(L"R:\\notas.txt");
    MakeFile(L"R:\\autorun.inf", "x",
             FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_READONLY);
    ASSERT_EQ(AttributesOf(L"R:\\RECYCLER") & FILE_ATTRIBUTE_HIDDEN, DWORD{FILE_ATTRIBUTE_HIDDEN});

    const RootEntries folders = RootFolders(service_, L"R:");
    const RootEntries files = RootFiles(service_, L"R:");

    EXPECT_EQ(Sorted(folders.paths), (Paths{L"R:\\Fotos", L"R:\\RECYCLER"}));
    EXPECT_EQ(Sorted(files.paths), (Paths{L"R:\\autorun.inf", L"R:\\notas.txt"}));
    EXPECT_FALSE(folders.error) << folders.error.message();
    EXPECT_FALSE(files.error) << files.error.message();
}

TEST_F(RootListingTest, AnEmptyRootIsNotAnErrorButADriveWithoutMediumIs) {
    const RootEntries empty = RootFiles(service_, L"S:");
    EXPECT_EQ(empty.paths, Paths{});
    EXPECT_FALSE(empty.error) << empty.error.message();

    const RootEntries notReady = RootFolders(service_, L"T:");
    EXPECT_EQ(notReady.paths, Paths{});
    EXPECT_TRUE(notReady.error);
}

TEST_F(RootListingTest, TwoThousandEntriesAreAllListed) {
    Paths expected;
    for (int i = 0; i < 2000; ++i) {
        expected.push_back(L"R:\\entrada" + std::to_wstring(10000 + i) + L".txt");
        MakeFile(expected.back());
    }
    const RootEntries files = RootFiles(service_, L"R:");
    EXPECT_FALSE(files.error) << files.error.message();
    EXPECT_EQ(files.paths.size(), 2000u);
    EXPECT_EQ(Sorted(files.paths), expected);
}

class EntryFactsTest : public FileSystemTest {};

TEST_F(EntryFactsTest, ExistsTellsFilesFromFolders) {
    MakeFile(L"R:\\a.txt");
    MakeFolder(L"R:\\dir");
    EXPECT_TRUE(service_.FileExists(L"R:\\a.txt"));
    EXPECT_FALSE(service_.FolderExists(L"R:\\a.txt"));
    EXPECT_TRUE(service_.FolderExists(L"R:\\dir"));
    EXPECT_FALSE(service_.FileExists(L"R:\\dir"));
    EXPECT_FALSE(service_.FileExists(L"R:\\missing.txt"));
    EXPECT_FALSE(service_.FolderExists(L"R:\\missing"));
    EXPECT_FALSE(service_.FileExists(L"R:\\a.txt\\inside"));
}

TEST_F(EntryFactsTest, NameIsSpelledAsOnDisk) {
    MakeFile(L"R:\\AutoRun.Inf");
    MakeFolder(L"R:\\Fotos");
    EXPECT_EQ(service_.Name(L"R:\\autorun.inf"), L"AutoRun.Inf");
    EXPECT_EQ(service_.Name(L"R:\\FOTOS"), L"Fotos");
    EXPECT_EQ(service_.Name(L"R:\\*.inf"), std::nullopt);
    EXPECT_EQ(service_.Name(L"R:\\missing"), std::nullopt);
}

TEST_F(EntryFactsTest, FileSizeIsReadAfreshAndBeyondFourGigabytes) {
    MakeFile(L"R:\\a.bin", std::string(12345, 'z'));
    EXPECT_EQ(service_.FileSize(L"R:\\a.bin"), 12345u);
    MakeFile(L"R:\\a.bin", "shorter");
    EXPECT_EQ(service_.FileSize(L"R:\\a.bin"), 7u);

    const UniqueFile big{::CreateFileW(L"R:\\big.bin", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
                                       nullptr)};
    LARGE_INTEGER end{};
    end.QuadPart = 5LL << 30;
    ASSERT_TRUE(::SetFilePointerEx(big.Get(), end, nullptr, FILE_BEGIN));
    ASSERT_TRUE(::SetEndOfFile(big.Get()));
    EXPECT_EQ(service_.FileSize(L"R:\\big.bin"), 5ull << 30);

    MakeFolder(L"R:\\dir");
    EXPECT_EQ(service_.FileSize(L"R:\\dir"), std::nullopt);
    EXPECT_EQ(service_.FileSize(L"R:\\missing"), std::nullopt);
}

LocalDateTime Now() {
    SYSTEMTIME now{};
    ::GetLocalTime(&now);
    return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
}

// Seconds between two local moments, whatever day, month or year lies between them.
long long SecondsApart(const LocalDateTime& a, const LocalDateTime& b) {
    const auto seconds = [](const LocalDateTime& t) {
        const SYSTEMTIME system{static_cast<WORD>(t.year),   static_cast<WORD>(t.month), 0,
                                static_cast<WORD>(t.day),    static_cast<WORD>(t.hour),
                                static_cast<WORD>(t.minute), static_cast<WORD>(t.second), 0};
        FILETIME file{};
        ::SystemTimeToFileTime(&system, &file);
        return static_cast<long long>((ULONGLONG{file.dwHighDateTime} << 32 | file.dwLowDateTime) /
                                      10'000'000);
    };
    return std::llabs(seconds(a) - seconds(b));
}

TEST_F(EntryFactsTest, DateCreatedIsTheLocalMomentTheEntryWasMade) {
    const LocalDateTime before = Now();
    MakeFile(L"R:\\a.txt");
    MakeFolder(L"R:\\dir");
    for (const std::wstring path : {L"R:\\a.txt", L"R:\\dir"}) {
        const auto created = service_.DateCreated(path);
        ASSERT_TRUE(created.has_value()) << path;
        // File-system clocks lag a tick behind.
        EXPECT_LE(SecondsApart(*created, before), 2)
            << path << ": " << created->year << "-" << created->month << "-" << created->day << " "
            << created->hour << ":" << created->minute << ":" << created->second;
    }
    EXPECT_EQ(service_.DateCreated(L"R:\\missing"), std::nullopt);
}

TEST_F(EntryFactsTest, TypeNameComesFromTheShell) {
    MakeFile(L"R:\\notas.txt");
    MakeFolder(L"R:\\dir");
    // Wine's wording differs from Windows' ("txt file"): only its presence is checked.
    EXPECT_NE(service_.TypeName(L"R:\\notas.txt").value_or(L""), L"");
    EXPECT_NE(service_.TypeName(L"R:\\dir").value_or(L""), L"");
    EXPECT_EQ(service_.TypeName(L"R:\\missing.txt"), std::nullopt);
}

class CopyFileTest : public FileSystemTest {};

TEST_F(CopyFileTest, ReplacesAnExistingFileOnlyWhenAsked) {
    MakeFile(L"R:\\a.txt", "new");
    MakeFile(L"S:\\a.txt", "old");

    EXPECT_EQ(service_.CopyFile(L"R:\\a.txt", L"S:\\a.txt", false), std::errc::file_exists);
    EXPECT_EQ(Content(L"S:\\a.txt"), "old");

    EXPECT_FALSE(service_.CopyFile(L"R:\\a.txt", L"S:\\a.txt", true));
    EXPECT_EQ(Content(L"S:\\a.txt"), "new");

    EXPECT_FALSE(service_.CopyFile(L"R:\\a.txt", L"S:\\b.txt", false));
    EXPECT_EQ(Content(L"S:\\b.txt"), "new");
}

TEST_F(CopyFileTest, AFolderOrMissingSourceFails) {
    MakeFolder(L"R:\\dir");
    EXPECT_TRUE(service_.CopyFile(L"R:\\dir", L"S:\\dir", true));
    EXPECT_FALSE(Exists(L"S:\\dir"));
    EXPECT_EQ(service_.CopyFile(L"R:\\missing", L"S:\\x", true),
              std::errc::no_such_file_or_directory);
}

class CopyFolderTest : public FileSystemTest {};

TEST_F(CopyFolderTest, CopiesTheWholeTreeWithUnicodeAndLongPaths) {
    MakeFolder(L"R:\\src");
    MakeFolder(L"R:\\src\\Música");
    MakeFile(L"R:\\src\\Música\\canción ñ.txt", "la");
    MakeFolder(L"R:\\src\\日本語");
    MakeFile(L"R:\\src\\日本語\\ファイル😀.txt", "jp");
    MakeFile(L"R:\\src\\oculto.dat", "h", FILE_ATTRIBUTE_HIDDEN);
    MakeFolder(L"R:\\src\\vacía");
    const std::wstring deep = MakeLongChain(L"R:\\src");
    MakeFile(deep + L"\\hondo.txt", "deep");
    ASSERT_GT((deep + L"\\hondo.txt").size(), 260u);

    const TreeReport report = service_.CopyFolder(L"R:\\src", L"S:\\copia", true);

    EXPECT_EQ(FailedPaths(report), Paths{});
    EXPECT_EQ(Content(L"S:\\copia\\Música\\canción ñ.txt"), "la");
    EXPECT_EQ(Content(L"S:\\copia\\日本語\\ファイル😀.txt"), "jp");
    EXPECT_EQ(Content(L"S:\\copia\\oculto.dat"), "h");
    EXPECT_TRUE(AttributesOf(L"S:\\copia\\vacía") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_EQ(Content(L"S:\\copia" + deep.substr(6) + L"\\hondo.txt"), "deep");
}

TEST_F(CopyFolderTest, ReusesTheDestinationAndReportsWhatItCannotCopy) {
    MakeFolder(L"R:\\src");
    MakeFile(L"R:\\src\\a.txt", "new");
    MakeFile(L"R:\\src\\b.txt", "new");
    MakeFile(L"R:\\src\\held.txt", "new");
    MakeFolder(L"S:\\dst");
    MakeFile(L"S:\\dst\\a.txt", "old");
    const UniqueFile held = HoldOpen(L"R:\\src\\held.txt");

    const TreeReport kept = service_.CopyFolder(L"R:\\src", L"S:\\dst", false);
    EXPECT_EQ(FailedPaths(kept), (Paths{L"R:\\src\\a.txt", L"R:\\src\\held.txt"}));
    EXPECT_EQ(Content(L"S:\\dst\\a.txt"), "old");
    EXPECT_EQ(Content(L"S:\\dst\\b.txt"), "new");

    const TreeReport replaced = service_.CopyFolder(L"R:\\src", L"S:\\dst", true);
    ASSERT_EQ(FailedPaths(replaced), Paths{L"R:\\src\\held.txt"});
    EXPECT_EQ(replaced.failures[0].error, std::errc::device_or_resource_busy);
    EXPECT_EQ(Content(L"S:\\dst\\a.txt"), "new");
}

TEST_F(CopyFolderTest, RefusesItsOwnSubtreeAndCreatesNothing) {
    MakeFolder(L"R:\\src");
    MakeFolder(L"R:\\src\\sub");
    const std::wstring destinations[] = {L"R:\\src\\sub\\copia", L"r:\\SRC\\",
                                         L"R:\\src\\sub\\..\\copia"};
    for (const std::wstring& destination : destinations) {
        const TreeReport report = service_.CopyFolder(L"R:\\src", destination, true);
        ASSERT_EQ(FailedPaths(report), Paths{L"R:\\src"}) << destination;
        EXPECT_EQ(report.failures[0].error, VelquorError::DestinationInsideSource) << destination;
    }
    EXPECT_FALSE(Exists(L"R:\\src\\sub\\copia"));
    EXPECT_FALSE(Exists(L"R:\\src\\copia"));
}

TEST_F(CopyFolderTest, AMissingSourceCreatesNothing) {
    const TreeReport report = service_.CopyFolder(L"R:\\missing", L"S:\\copia", true);
    ASSERT_EQ(FailedPaths(report), Paths{L"R:\\missing"});
    EXPECT_EQ(report.failures[0].error, std::errc::no_such_file_or_directory);
    EXPECT_FALSE(Exists(L"S:\\copia"));
}

TEST_F(CopyFolderTest, ALinkLoopIsReportedNotFollowed) {
    MakeFolder(L"R:\\src");
    MakeFile(L"R:\\src\\a.txt", "a");
    const FolderLink loop(L"R:\\src\\loop", L"R:\\src");
    if (!loop.Made()) GTEST_SKIP() << "this system would not make a symbolic link";

    const TreeReport report = service_.CopyFolder(L"R:\\src", L"S:\\copia", true);

    ASSERT_EQ(FailedPaths(report), Paths{L"R:\\src\\loop"});
    EXPECT_EQ(report.failures[0].error, VelquorError::LinkNotFollowed);
    EXPECT_EQ(Content(L"S:\\copia\\a.txt"), "a");
    EXPECT_FALSE(Exists(L"S:\\copia\\loop"));

    EXPECT_EQ(FailedPaths(service_.CopyFolder(L"R:\\src\\loop", L"S:\\enlace", true)),
              Paths{L"R:\\src\\loop"});
    EXPECT_FALSE(Exists(L"S:\\enlace"));
}

class DeleteFileTest : public FileSystemTest {};

TEST_F(DeleteFileTest, AReadOnlyFileGoesOnlyWithForce) {
    MakeFile(L"R:\\autorun.inf", "x", FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN);

    EXPECT_EQ(service_.DeleteFile(L"R:\\autorun.inf", false), std::errc::permission_denied);
    const DWORD kept = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN;
    EXPECT_EQ(AttributesOf(L"R:\\autorun.inf") & kept, kept);

    EXPECT_FALSE(service_.DeleteFile(L"R:\\autorun.inf", true));
    EXPECT_FALSE(Exists(L"R:\\autorun.inf"));
}

TEST_F(DeleteFileTest, AHeldFileOrAFolderStays) {
    MakeFile(L"R:\\held.txt");
    MakeFolder(L"R:\\dir");
    const UniqueFile held = HoldOpen(L"R:\\held.txt");

    EXPECT_EQ(service_.DeleteFile(L"R:\\held.txt", true), std::errc::device_or_resource_busy);
    EXPECT_TRUE(Exists(L"R:\\held.txt"));
    EXPECT_TRUE(service_.DeleteFile(L"R:\\dir", true));
    EXPECT_TRUE(Exists(L"R:\\dir"));
    EXPECT_EQ(service_.DeleteFile(L"R:\\missing", true), std::errc::no_such_file_or_directory);
}

class DeleteFolderTest : public FileSystemTest {};

TEST_F(DeleteFolderTest, ForceRemovesProtectedEntriesAtAnyDepth) {
    MakeFolder(L"R:\\victim", FILE_ATTRIBUTE_READONLY);
    MakeFolder(L"R:\\victim\\RECYCLER", FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    MakeFile(L"R:\\victim\\RECYCLER\\x.exe", "x",
             FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM);
    const std::wstring deep = MakeLongChain(L"R:\\victim");
    MakeFile(deep + L"\\solo lectura.txt", "x", FILE_ATTRIBUTE_READONLY);
    MakeFile(L"R:\\victim\\notas.txt");

    const TreeReport report = service_.DeleteFolder(L"R:\\victim", true, {});

    EXPECT_EQ(FailedPaths(report), Paths{});
    EXPECT_FALSE(Exists(L"R:\\victim"));
}

TEST_F(DeleteFolderTest, WithoutForceAReadOnlyFileStaysAndTheRestGoes) {
    MakeFolder(L"R:\\victim");
    MakeFolder(L"R:\\victim\\keep");
    MakeFile(L"R:\\victim\\keep\\ro.txt", "x", FILE_ATTRIBUTE_READONLY);
    MakeFolder(L"R:\\victim\\other");
    MakeFile(L"R:\\victim\\other\\x.txt");
    MakeFile(L"R:\\victim\\plain.txt");

    const TreeReport report = service_.DeleteFolder(L"R:\\victim", false, {});

    // The file, and the two folders that could not go because it stayed.
    EXPECT_EQ(FailedPaths(report),
              (Paths{L"R:\\victim", L"R:\\victim\\keep", L"R:\\victim\\keep\\ro.txt"}));
    EXPECT_TRUE(Exists(L"R:\\victim\\keep\\ro.txt"));
    EXPECT_FALSE(Exists(L"R:\\victim\\other"));
    EXPECT_FALSE(Exists(L"R:\\victim\\plain.txt"));
}

TEST_F(DeleteFolderTest, NamesThatMalwareBendsStayReachable) {
    // A device name and a trailing dot: plain Win32 paths would turn them into something else.
    for (const std::wstring path : {L"R:\\con", L"R:\\oculto."}) {
        MakeFolder(path);
        MakeFile(path + L"\\x.exe");

        EXPECT_TRUE(service_.FolderExists(path)) << path;
        EXPECT_EQ(RootFolders(service_, L"R:").paths, Paths{path});
        EXPECT_EQ(FailedPaths(service_.DeleteFolder(path, true, {})), Paths{});
        EXPECT_FALSE(Exists(path)) << path;
    }
}

TEST_F(DeleteFolderTest, ALinkInsideGoesAsALinkAndItsTargetStays) {
    MakeFolder(L"R:\\keep");
    MakeFile(L"R:\\keep\\precious.txt", "p");
    MakeFolder(L"R:\\victim");
    MakeFile(L"R:\\victim\\x.txt");
    const FolderLink link(L"R:\\victim\\link", L"R:\\keep");
    if (!link.Made()) GTEST_SKIP() << "this system would not make a symbolic link";

    const TreeReport report = service_.DeleteFolder(L"R:\\victim", true, {});

    EXPECT_EQ(Content(L"R:\\keep\\precious.txt"), "p");
    EXPECT_FALSE(Exists(L"R:\\victim\\x.txt"));
    if (FolderLink::IsWine()) {
        // Wine 8 resolves a symlink to its target for every delete and rename, so the link
        // itself cannot go: RemoveDirectoryW on it tries the (non-empty) target and fails.
        EXPECT_EQ(FailedPaths(report), (Paths{L"R:\\victim", L"R:\\victim\\link"}));
        GTEST_SKIP() << "Wine 8 cannot remove a symbolic link itself";
    }
    EXPECT_EQ(FailedPaths(report), Paths{});
    EXPECT_FALSE(Exists(L"R:\\victim"));
}

}  // namespace
