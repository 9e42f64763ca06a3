#include "Win32FileSystemService.h"

#include <algorithm>
#include <cstdint>
#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "VelquorError.h"
#include "Errors.h"
#include "Owners.h"
#include "support/TestDrives.h"
#include "common/contract/AllContracts.h"
#include "common/RootEntries.h"

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

Paths Sorted(Paths paths) {
    std::sort(paths.begin(), paths.end());
    return paths;
}

void MakeFile(const std::wstring& path, std::string_view content = "x") {
    const win32::UniqueFile file{::CreateFileW(Long(path).c_str(), GENERIC_WRITE, 0, nullptr,
                                        CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr)};
    DWORD written = 0;
    EXPECT_TRUE(file && ::WriteFile(file.Get(), content.data(), static_cast<DWORD>(content.size()),
                                    &written, nullptr))
        << ::testing::PrintToString(path) << ": error " << ::GetLastError();
}

void MakeFolder(const std::wstring& path) {
    EXPECT_TRUE(::CreateDirectoryW(Long(path).c_str(), nullptr))
        << ::testing::PrintToString(path) << ": error " << ::GetLastError();
}

void EmptyTestDrives() {
    ASSERT_TRUE(TestDrives::Mapped()) << "VELQUOR_TEST_DRIVES names no R:, S: and T: "
                                         "(the suite runs through cmake/wine-run)";
    ASSERT_EQ(TestDrives::Empty(L'R'), Paths{});
    ASSERT_EQ(TestDrives::Empty(L'S'), Paths{});
}

// 100-nanosecond steps from 1601 to 1970.
constexpr ULONGLONG kUnixEpoch = 116444736000000000ULL;

win32::UniqueFile OpenAsItself(const std::wstring& path, DWORD access) {
    return win32::UniqueFile{::CreateFileW(Long(path).c_str(), access,
                                    FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE,
                                    nullptr, OPEN_EXISTING,
                                    FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_OPEN_REPARSE_POINT,
                                    nullptr)};
}

// The folder of this program, where the suite's helper programs lie.
std::wstring OwnFolder() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

std::wstring Widen(const std::string& utf8) {
    std::wstring wide(utf8.size(), L'\0');
    wide.resize(static_cast<size_t>(::MultiByteToWideChar(CP_UTF8, 0, utf8.data(),
                                                          static_cast<int>(utf8.size()),
                                                          wide.data(),
                                                          static_cast<int>(wide.size()))));
    return wide;
}

// The contract's stick: the test drives that cmake/wine-run maps as removable.
class WineStick {
public:
    void SetUp() { ASSERT_NO_FATAL_FAILURE(EmptyTestDrives()); }
    FileSystemService& Service() { return service_; }
    std::wstring Drive() const { return L"R:"; }
    std::wstring OtherDrive() const { return L"S:"; }
    std::wstring NotReadyDrive() const { return L"T:"; }

    void Folder(const std::wstring& path, Attributes attributes = 0) {
        MakeFolder(path);
        SetAttributes(path, attributes);
    }
    void MakeReadOnly(const std::wstring& folder) { MakeFolderReadOnly(folder); }
    void File(const std::wstring& path, std::string_view content, Attributes attributes = 0) {
        MakeFile(path, content);
        SetAttributes(path, attributes);
    }
    bool Link(const std::wstring& link, const std::wstring& target) {
        links_.push_back(std::make_unique<TestLink>(link, target));
        return links_.back()->Made();
    }
    void Move(const std::wstring& from, const std::wstring& to) {
        EXPECT_TRUE(::MoveFileW(Long(from).c_str(), Long(to).c_str()))
            << ::testing::PrintToString(from) << ": error " << ::GetLastError();
    }
    std::string Content(const std::wstring& path) const {
        const win32::UniqueFile file{::CreateFileW(Long(path).c_str(), GENERIC_READ, FILE_SHARE_READ,
                                            nullptr, OPEN_EXISTING, 0, nullptr)};
        LARGE_INTEGER size{};
        if (!file || !::GetFileSizeEx(file.Get(), &size)) return "<missing>";
        std::string content(static_cast<size_t>(size.QuadPart), '\0');
        DWORD read = 0;
        if (!::ReadFile(file.Get(), content.data(), static_cast<DWORD>(content.size()), &read,
                        nullptr)) {
            return "<missing>";
        }
        content.resize(read);
        return content;
    }
    contract::Paths Names(const std::wstring& folder) const {
        contract::Paths names;
        WIN32_FIND_DATAW data{};
        std::wstring pattern = Long(folder);
        if (!pattern.ends_with(L'\\')) pattern += L'\\';
        if (const win32::UniqueFind find{::FindFirstFileW((pattern + L"*").c_str(), &data)}) {
            do {
                const std::wstring_view name = data.cFileName;
                if (name != L"." && name != L"..") names.emplace_back(name);
            } while (::FindNextFileW(find.Get(), &data));
        }
        return contract::Sorted(names);
    }
    void Backdate(const std::wstring& path) {
        const win32::UniqueFile entry = OpenAsItself(path, FILE_WRITE_ATTRIBUTES);
        const ULONGLONG longAgo = kUnixEpoch + 981173106ULL * 10000000ULL;  // 2001-02-03
        const FILETIME time{static_cast<DWORD>(longAgo), static_cast<DWORD>(longAgo >> 32)};
        EXPECT_TRUE(entry && ::SetFileTime(entry.Get(), nullptr, nullptr, &time))
            << ::testing::PrintToString(path) << ": error " << ::GetLastError();
    }
    std::optional<std::int64_t> LastWrite(const std::wstring& path) const {
        WIN32_FILE_ATTRIBUTE_DATA data{};
        if (!::GetFileAttributesExW(Long(path).c_str(), GetFileExInfoStandard, &data)) {
            return std::nullopt;
        }
        const FILETIME& written = data.ftLastWriteTime;
        const ULONGLONG time = (ULONGLONG{written.dwHighDateTime} << 32) | written.dwLowDateTime;
        return static_cast<std::int64_t>((time - kUnixEpoch) / 10000000ULL);
    }
    // The copy runs in a program of its own (velquor_copy_probe) that the host shell starts under
    // a file-size limit, with the signal that would end it at the limit ignored.
    contract::Paths CopyWithLittleRoom(const std::wstring& source, const std::wstring& destination,
                                       bool folder) {
        const std::wstring report = Drive() + L"\\probe-report.txt";
        const std::wstring command =
            L"trap '' XFSZ; ulimit -f " + std::to_wstring(contract::kRoom / 512) + L"; wine '" +
            OwnFolder() + L"velquor_copy_probe.exe' " + (folder ? L"folder" : L"file") + L" '" +
            source + L"' '" + destination + L"' '" + report + L"'";
        if (!HostShell::Run(command, Drive(), 60000)) return {L"<no probe>"};
        std::wstring lines = Widen(Content(report));
        ::DeleteFileW(Long(report).c_str());
        contract::Paths failed;
        for (size_t start = 0; start < lines.size();) {
            const size_t end = std::min(lines.find(L'\n', start), lines.size());
            failed.push_back(lines.substr(start, end - start));
            start = end + 1;
        }
        return failed;
    }
    bool Exists(const std::wstring& path) const {
        return ::AttributesOf(path) != INVALID_FILE_ATTRIBUTES;
    }
    bool IsReadOnly(const std::wstring& path) const {
        const DWORD attributes = ::AttributesOf(path);
        return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_READONLY);
    }
    std::optional<Attributes> AttributesOf(const std::wstring& path) const {
        const DWORD attributes = ::AttributesOf(path);
        if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
        return attributes & ~FILE_ATTRIBUTE_NORMAL;
    }
    // Opened without sharing, as a program that holds the file would.
    win32::UniqueFile HoldOpen(const std::wstring& path) {
        win32::UniqueFile file{::CreateFileW(Long(path).c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING,
                                      0, nullptr)};
        EXPECT_TRUE(file) << ::testing::PrintToString(path) << ": error " << ::GetLastError();
        return file;
    }
    static std::optional<std::string> CannotHoldOpen() { return std::nullopt; }
    // Wine 8 deletes a Unix symlink's target whichever way the link is opened.
    static bool RemovesLinks() { return !HostShell::IsWine(); }
    // Wine takes a folder's read-only attribute without keeping it.
    static bool KeepsReadOnlyFolders() { return !HostShell::IsWine(); }
    // Wine resolves every path component by component: 1,500 levels took nine minutes.
    static constexpr int kDeepTree = 300;
    static LocalDateTime Now() {
        SYSTEMTIME now{};
        ::GetLocalTime(&now);
        return {now.wYear, now.wMonth, now.wDay, now.wHour, now.wMinute, now.wSecond};
    }

private:
    static void SetAttributes(const std::wstring& path, Attributes attributes) {
        if (attributes == 0) return;
        EXPECT_TRUE(::SetFileAttributesW(Long(path).c_str(), attributes))
            << ::testing::PrintToString(path) << ": error " << ::GetLastError();
    }

    win32::FileSystemService service_;
    // Declared last, so that the links go first, before anything they lead to.
    std::vector<std::unique_ptr<TestLink>> links_;
};

}  // namespace

VELQUOR_FILE_SYSTEM_CONTRACT(Wine, WineStick);

namespace {

class FileSystemTest : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_NO_FATAL_FAILURE(EmptyTestDrives()); }

    win32::FileSystemService service_;
};

class DrivesTest : public FileSystemTest {};

// The suite's drives: R: and S: removable folders, T: a removable letter whose folder is missing.
TEST_F(DrivesTest, TheSuitesLettersAreListedWithADeviceAndRemovableEvenWithTheirFolderMissing) {
    ASSERT_EQ(::GetFileAttributesW(L"T:\\"), INVALID_FILE_ATTRIBUTES) << "T:'s folder is there";
    const Paths drives = service_.Drives();
    for (const std::wstring drive : {L"R:", L"S:", L"T:"}) {
        EXPECT_NE(std::find(drives.begin(), drives.end(), drive), drives.end()) << drive;
        const auto device = service_.DeviceOf(drive);
        ASSERT_TRUE(device.has_value()) << drive;
        EXPECT_FALSE(device->empty()) << drive;
        EXPECT_EQ(service_.DriveType(drive), DriveKind::Removable) << drive;
    }
    EXPECT_TRUE(KnownDrives(service_).AnyRemovable(Paths{L"T:"}));
}

TEST_F(DrivesTest, TheLettersThatExistAreThoseOfGetLogicalDrivesAndTextNamingNoDriveHasNoType) {
    const DWORD logical = ::GetLogicalDrives();
    int absent = 0;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const std::wstring drive{letter, L':'};
        const bool exists = (logical >> (letter - L'A')) & 1;
        EXPECT_EQ(service_.DeviceOf(drive).has_value(), exists) << drive;
        if (exists) continue;
        ++absent;
        // GetDriveTypeW says 1 (DRIVE_NO_ROOT_DIR) here, which is not the removable 1.
        EXPECT_EQ(service_.DriveType(drive), DriveKind::Unknown) << drive;
        EXPECT_FALSE(service_.IsReady(drive)) << drive;
    }
    EXPECT_GT(absent, 0) << "every letter is taken";
    EXPECT_EQ(service_.DriveType(L"R"), DriveKind::Unknown);
    EXPECT_EQ(RootFolders(service_, L"R:\\x").error, VelquorError::NotADrivePath);
}

TEST_F(DrivesTest, EachDriveHoldsAVolumeOfItsOwnAndANotReadyOneNone) {
    const auto r = service_.VolumeOf(L"R:");
    const auto s = service_.VolumeOf(L"S:");
    ASSERT_TRUE(r && s);
    EXPECT_EQ(service_.VolumeOf(L"R:"), r) << "asked twice";
    EXPECT_NE(r, s);
    EXPECT_FALSE(service_.VolumeOf(L"T:"));
}

class RootListingTest : public FileSystemTest {};

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

class KilledCopyTest : public FileSystemTest {};

// A backup ended half-way through a file (the task ended, a crash) leaves the earlier backup whole
// and nothing beside it. velquor_copy_probe copies, says so after its first chunk, and waits.
TEST_F(KilledCopyTest, TheEarlierBackupStaysWholeAndNoTemporaryFileIsLeft) {
    WineStick stick;
    stick.File(L"R:\\grande.bin", std::string(3 << 20, 'n'));
    stick.File(L"S:\\grande.bin", "copia anterior");
    const std::wstring event = L"velquor-copying-" + std::to_wstring(::GetCurrentProcessId());
    const win32::UniqueKernelHandle copying{::CreateEventW(nullptr, TRUE, FALSE, event.c_str())};
    std::wstring command =
        L"\"" + OwnFolder() + L"velquor_copy_probe.exe\" hold " + event + L" R:\\grande.bin S:\\grande.bin";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION probe{};
    ASSERT_TRUE(copying && ::CreateProcessW(nullptr, command.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                            &startup, &probe));
    const win32::UniqueKernelHandle process{probe.hProcess};
    ::CloseHandle(probe.hThread);
    const HANDLE copyingOrEnded[] = {copying.Get(), process.Get()};
    ASSERT_EQ(::WaitForMultipleObjects(2, copyingOrEnded, FALSE, INFINITE), WAIT_OBJECT_0) << "the probe ended";

    ::TerminateProcess(process.Get(), 1);
    ::WaitForSingleObject(process.Get(), INFINITE);

    EXPECT_EQ(stick.Names(L"S:\\"), Paths{L"grande.bin"});
    EXPECT_EQ(stick.Content(L"S:\\grande.bin"), "copia anterior");
}

class EntryFactsTest : public FileSystemTest {};

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

    const win32::UniqueFile big{::CreateFileW(L"R:\\big.bin", GENERIC_WRITE, 0, nullptr, CREATE_NEW, 0,
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

}  // namespace
