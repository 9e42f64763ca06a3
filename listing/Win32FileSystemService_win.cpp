#include "listing/Win32FileSystemService_win.h"

#include <shellapi.h>
#include <winternl.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <memory>
#include <string_view>
#include <utility>

#include "listing/PathText.h"
#include "listing/VelquorError.h"
#include "listing/Win32Error.h"
#include "listing/Win32Handles_win.h"


namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

// Keeps the system's "insert a disk" box away while a drive without a medium is asked about.
class QuietDriveErrors {
public:
    QuietDriveErrors() {
        ::SetThreadErrorMode(::GetThreadErrorMode() | SEM_FAILCRITICALERRORS, &previous_);
    }
    QuietDriveErrors(const QuietDriveErrors&) = delete;
    QuietDriveErrors& operator=(const QuietDriveErrors&) = delete;
    ~QuietDriveErrors() { ::SetThreadErrorMode(previous_, nullptr); }

private:
    DWORD previous_ = 0;
};

// Text from a call that returns the size it needs (terminator included) when the buffer is too
// small and the length it wrote (terminator excluded) when it fits; 0 means failure.
template <class Call> std::optional<std::wstring> ReadText(Call call) {
    std::wstring text;
    for (;;) {
        const auto capacity = static_cast<DWORD>(text.size());
        const DWORD result = call(text.data(), capacity);
        if (result == 0) return std::nullopt;
        text.resize(result);
        if (result < capacity) return text;
    }
}

std::error_code InvalidName() {
    return Win32Error(ERROR_INVALID_NAME);
}

bool HasDotParts(std::wstring_view path) {
    for (size_t start = 0; start <= path.size();) {
        const size_t end = std::min(path.find(L'\\', start), path.size());
        if (IsDotOrDotDot(path.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

// The \\?\ form, free of the 260-character limit, of a full path: a drive path ("E:\x") or a
// UNC path ("\\server\share\x"), with slashes taken as backslashes. The prefix keeps names that
// the system would otherwise bend (devices such as "con", trailing dots or spaces: tricks that
// malware uses to make its folders hard to delete) reachable. Relative paths and "." or ".."
// parts are refused rather than resolved, as the drive's own form never has them.
std::optional<std::wstring> LongPath(std::wstring path) {
    std::replace(path.begin(), path.end(), L'/', L'\\');
    if (path.starts_with(kLongPrefix) || HasDotParts(path)) return std::nullopt;
    if (path.size() >= 3 && DriveOf(std::wstring_view(path).substr(0, 3)) && path[2] == L'\\') {
        return std::wstring(kLongPrefix) + path;
    }
    if (path.starts_with(L"\\\\")) return std::wstring(kLongUncPrefix) + path.substr(2);
    return std::nullopt;
}

std::wstring Join(std::wstring_view folder, std::wstring_view name) {
    std::wstring path(folder);
    if (!path.ends_with(L'\\')) path += L'\\';
    path += name;
    return path;
}

// One entry in both forms: `plain` as the caller spells it, for reports; `full` for the API.
struct Location {
    std::wstring plain;
    std::wstring full;

    Location Child(std::wstring_view name) const { return {Join(plain, name), Join(full, name)}; }
};

std::optional<Location> Locate(const std::wstring& path) {
    auto full = LongPath(path);
    if (!full) return std::nullopt;
    return Location{path, std::move(*full)};
}

bool IsFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Junctions and symbolic links (and, under Wine, Unix symlinks to folders): never walked through.
bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

std::optional<DWORD> PathAttributes(const std::wstring& path) {
    const auto full = LongPath(path);
    if (!full) return std::nullopt;
    const DWORD attributes = ::GetFileAttributesW(full->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

std::optional<WIN32_FILE_ATTRIBUTE_DATA> AttributeData(const std::wstring& path) {
    const auto full = LongPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!full || !::GetFileAttributesExW(full->c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return data;
}

// Why an entry with these attributes, just read, is no folder to walk; nothing when it is one.
std::error_code FolderError(DWORD attributes) {
    if (attributes == INVALID_FILE_ATTRIBUTES) return LastWin32Error();
    return IsFolder(attributes) ? std::error_code{} : Win32Error(ERROR_DIRECTORY);
}

struct Child {
    std::wstring name;
    DWORD attributes;
};

struct FolderContents {
    std::vector<Child> children;
    std::error_code error;
};

// Calls visit for each entry of one folder (full form) as it is read. An empty folder is not an
// error; a read that breaks off says why.
template <class Visit> std::error_code ForEachChild(const std::wstring& folder, Visit visit) {
    WIN32_FIND_DATAW data{};
    const UniqueFind find{::FindFirstFileExW(Join(folder, L"*").c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr,
                                             FIND_FIRST_EX_LARGE_FETCH)};
    if (!find) {
        // An empty root has not even "." and "..".
        const DWORD error = ::GetLastError();
        return error == ERROR_FILE_NOT_FOUND ? std::error_code{} : Win32Error(error);
    }
    do {
        if (!IsDotOrDotDot(data.cFileName)) visit(data);
    } while (::FindNextFileW(find.Get(), &data));
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES ? std::error_code{} : Win32Error(error);
}

// The entries of one folder (full form), read in full before anything in it is changed; a read
// that breaks off keeps what came before it.
FolderContents ReadFolder(const std::wstring& folder) {
    FolderContents contents;
    contents.error = ForEachChild(folder, [&contents](const WIN32_FIND_DATAW& data) {
        contents.children.push_back({data.cFileName, data.dwFileAttributes});
    });
    return contents;
}

// "E:" or "E:\" as the root "E:\"; nothing for any other text.
std::optional<std::wstring> DriveRoot(const std::wstring& drive) {
    const auto letter = DriveOf(drive);
    if (!letter) return std::nullopt;
    return std::wstring(*letter) + L"\\";
}

std::optional<LocalDateTime> LocalTimeOf(const FILETIME& time) {
    SYSTEMTIME utc{};
    SYSTEMTIME local{};
    if (!::FileTimeToSystemTime(&time, &utc) ||
        !::SystemTimeToTzSpecificLocalTime(nullptr, &utc, &local)) {
        return std::nullopt;
    }
    return LocalDateTime{local.wYear, local.wMonth, local.wDay, local.wHour, local.wMinute,
                         local.wSecond};
}

std::error_code Copy(const std::wstring& from, const std::wstring& to, bool overwrite) {
    return ::CopyFileW(from.c_str(), to.c_str(), !overwrite) ? std::error_code{} : LastWin32Error();
}

// Creates the folder, or accepts the one already there.
std::error_code EnsureFolder(const std::wstring& full) {
    if (::CreateDirectoryW(full.c_str(), nullptr)) return {};
    const DWORD error = ::GetLastError();
    if (error == ERROR_ALREADY_EXISTS && !FolderError(::GetFileAttributesW(full.c_str()))) return {};
    return Win32Error(error);
}

struct PendingCopy {
    Location source;
    std::wstring target;
};

// Copies the files of one folder into its target and queues its subfolders. Links are reported,
// not followed: a link can lead back into the tree, or out of the stick.
void CopyLevel(const PendingCopy& level, bool overwrite, std::vector<PendingCopy>& pending,
               TreeReport& report) {
    if (auto error = EnsureFolder(level.target)) {
        report.Add(level.source.plain, error);
        return;
    }
    const FolderContents contents = ReadFolder(level.source.full);
    if (contents.error) report.Add(level.source.plain, contents.error);
    for (const Child& child : contents.children) {
        PendingCopy item{level.source.Child(child.name), Join(level.target, child.name)};
        if (IsLink(child.attributes)) {
            report.Add(item.source.plain, VelquorError::LinkNotFollowed);
        } else if (IsFolder(child.attributes)) {
            pending.push_back(std::move(item));
        } else if (auto error = Copy(item.source.full, item.target, overwrite)) {
            report.Add(item.source.plain, error);
        }
    }
}

// Copies a whole tree, level by level, from an explicit stack: a deep tree cannot overflow it.
void CopyTree(PendingCopy top, bool overwrite, TreeReport& report) {
    std::vector<PendingCopy> pending{std::move(top)};
    while (!pending.empty()) {
        const PendingCopy level = std::move(pending.back());
        pending.pop_back();
        CopyLevel(level, overwrite, pending, report);
    }
}

// Deleting opens each entry itself, never what a link leads to, and keeps the handle for every
// step after: what it reads, changes and deletes is what it opened.
constexpr DWORD kOpenAsItself = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
constexpr DWORD kDeleteAccess = DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;
constexpr DWORD kEmptyAccess = kDeleteAccess | FILE_LIST_DIRECTORY;

// An entry opened for deletion, with what the handle says of it.
struct OpenedEntry {
    UniqueFile handle;
    DWORD attributes = 0;
    // The system's own name of what was opened. Wine opens a Unix symlink's target even when
    // asked for the link, and shows a file symlink as a plain file: only this name gives it away.
    std::wstring systemPath;
};

// The name the system gives what the handle refers to ("\??\E:\x" under Wine,
// "\Device\HarddiskVolume2\x" on Windows), at any length: under Wine,
// GetFinalPathNameByHandleW gives up past MAX_PATH.
std::optional<std::wstring> SystemPath(HANDLE handle) {
    constexpr ULONG kSize = sizeof(UNICODE_STRING) + 32768 * sizeof(wchar_t);
    const auto buffer = std::make_unique_for_overwrite<LONGLONG[]>(kSize / sizeof(LONGLONG) + 1);
    ULONG written = 0;
    const NTSTATUS status =
        ::NtQueryObject(handle, ObjectNameInformation, buffer.get(), kSize, &written);
    if (!NT_SUCCESS(status)) {
        ::SetLastError(::RtlNtStatusToDosError(status));
        return std::nullopt;
    }
    const auto* name = reinterpret_cast<const UNICODE_STRING*>(buffer.get());
    return std::wstring(name->Buffer, name->Length / sizeof(wchar_t));
}

std::error_code Open(const std::wstring& full, DWORD access, OpenedEntry& entry) {
    entry.handle = UniqueFile{::CreateFileW(full.c_str(), access, kShareAll, nullptr,
                                            OPEN_EXISTING, kOpenAsItself, nullptr)};
    if (!entry.handle) return LastWin32Error();
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(entry.handle.Get(), FileAttributeTagInfo, &tag,
                                        sizeof tag)) {
        return LastWin32Error();
    }
    auto systemPath = SystemPath(entry.handle.Get());
    if (!systemPath) return LastWin32Error();
    entry.attributes = tag.FileAttributes;
    entry.systemPath = std::move(*systemPath);
    return {};
}

bool SetAttributes(HANDLE handle, DWORD attributes) {
    // Zero times leave the times as they are; zero attributes would too, hence NORMAL.
    FILE_BASIC_INFO basic{};
    const DWORD settable = attributes & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
    basic.FileAttributes = settable ? settable : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
}

// Marks the opened entry to go when its handle closes. A read-only entry goes only with force,
// which clears the attribute through the handle, and sets it again if the entry still stays.
std::error_code Dispose(const OpenedEntry& entry, bool force) {
    const bool readOnly = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !force) return Win32Error(ERROR_ACCESS_DENIED);
    HANDLE handle = entry.handle.Get();
    if (readOnly && !SetAttributes(handle, entry.attributes & ~FILE_ATTRIBUTE_READONLY)) {
        return LastWin32Error();
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                     sizeof disposition)) {
        return {};
    }
    const std::error_code error = LastWin32Error();
    if (readOnly) SetAttributes(handle, entry.attributes);
    return error;
}

// What an opened entry turned out to be, for deleting it.
enum class Found { Elsewhere, Link, Folder, File };

// Where a listed entry lies: its folder, as the system names it and in full, and its name.
struct Expected {
    std::wstring systemFolder;
    std::wstring fullFolder;
    std::wstring name;
};

// Whether the opened entry is the one its folder listed. Wine drops the trailing dots and spaces
// of a name from the system path; that shorter name must then not be a sibling (a link "x." to
// its neighbour "x" would look the same).
bool IsWhereListed(const OpenedEntry& entry, const Expected& expected) {
    if (entry.systemPath == Join(expected.systemFolder, expected.name)) return true;
    const size_t kept = expected.name.find_last_not_of(L". ");
    if (kept == std::wstring::npos || kept + 1 == expected.name.size()) return false;
    const std::wstring shorter = expected.name.substr(0, kept + 1);
    return entry.systemPath == Join(expected.systemFolder, shorter) &&
           ::GetFileAttributesW(Join(expected.fullFolder, shorter).c_str()) ==
               INVALID_FILE_ATTRIBUTES;
}

Found Classify(const OpenedEntry& entry, const Expected& expected) {
    if (!IsWhereListed(entry, expected)) return Found::Elsewhere;
    if (IsLink(entry.attributes)) return Found::Link;
    return IsFolder(entry.attributes) ? Found::Folder : Found::File;
}

struct ListedChild {
    std::wstring name;
    DWORD attributes;
};

// The entries of an opened folder, read through its handle. An empty folder is not an error; a
// read that breaks off says why and keeps what came before it.
std::error_code ListOpened(HANDLE folder, std::vector<ListedChild>& children) {
    // Many entries a call, within what every file system accepts; aligned as the records are.
    std::vector<LONGLONG> buffer(64 * 1024 / sizeof(LONGLONG));
    const auto size = static_cast<DWORD>(buffer.size() * sizeof(LONGLONG));
    for (bool first = true;; first = false) {
        if (!::GetFileInformationByHandleEx(folder, FileIdBothDirectoryInfo, buffer.data(), size)) {
            const DWORD error = ::GetLastError();
            // A root without entries has not even "." and "..".
            const bool end =
                error == ERROR_NO_MORE_FILES || (first && error == ERROR_FILE_NOT_FOUND);
            return end ? std::error_code{} : Win32Error(error);
        }
        const auto* record = reinterpret_cast<const std::byte*>(buffer.data());
        for (;;) {
            const auto* info = reinterpret_cast<const FILE_ID_BOTH_DIR_INFO*>(record);
            std::wstring name(info->FileName, info->FileNameLength / sizeof(wchar_t));
            if (!IsDotOrDotDot(name)) children.push_back({std::move(name), info->FileAttributes});
            if (info->NextEntryOffset == 0) break;
            record += info->NextEntryOffset;
        }
    }
}

// A root entry of a drive opened for deletion, and where it should lie.
struct RootEntry {
    OpenedEntry entry;
    Expected expected;
};

std::error_code OpenRootEntry(const std::wstring& path, DWORD access, RootEntry& opened) {
    const auto name = RootEntryName(path);
    if (!name) return VelquorError::NotARootEntry;
    const QuietDriveErrors quiet;
    const std::wstring root = std::wstring(kLongPrefix) + path.substr(0, 3);
    const UniqueFile rootHandle{::CreateFileW(root.c_str(), FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                              kShareAll, nullptr, OPEN_EXISTING, kOpenAsItself,
                                              nullptr)};
    if (!rootHandle) return LastWin32Error();
    auto rootSystemPath = SystemPath(rootHandle.Get());
    if (!rootSystemPath) return LastWin32Error();
    opened.expected = {std::move(*rootSystemPath), root, std::wstring(*name)};
    return Open(root + std::wstring(*name), access, opened.entry);
}

// Deletes one folder tree, level by level from an explicit stack (a tree thousands deep cannot
// overflow it). Every entry is opened as itself and checked to lie where its folder's listing
// put it before anything is done to it.
class TreeDeletion {
public:
    TreeDeletion(bool force, const BetweenItems& between, TreeReport& report)
        : force_(force), between_(between), report_(report) {}

    void Run(const Location& top, RootEntry opened) {
        Handle(top, opened.expected, std::move(opened.entry), kEmptyAccess);
        while (!levels_.empty()) {
            Level& level = levels_.back();
            if (level.folders.empty()) {
                Leave();
                continue;
            }
            const std::wstring name = std::move(level.folders.back());
            level.folders.pop_back();
            const Location item = level.folder.Child(name);
            Visit(item, ChildOf(level, name), kEmptyAccess);
        }
    }

private:
    struct Level {
        Location folder;
        Expected place;  // where the folder itself lies
        std::wstring systemPath;
        bool kept = false;  // something inside stayed, so the folder stays too
        std::vector<std::wstring> folders;  // subfolders not yet visited
    };

    static Expected ChildOf(const Level& level, const std::wstring& name) {
        return {level.systemPath, level.folder.full, name};
    }

    void Removed() {
        if (between_) between_();
    }

    // Something stayed: reported once, and the folders holding it stay silently.
    void Keep(const std::wstring& plain, std::error_code error) {
        report_.Add(plain, error);
        if (!levels_.empty()) levels_.back().kept = true;
    }

    // Gone meanwhile is what deleting wanted; anything else that stops the open is kept.
    void OpenFailed(const std::wstring& plain, std::error_code error) {
        if (error != std::errc::no_such_file_or_directory) Keep(plain, error);
    }

    void Remove(const std::wstring& plain, OpenedEntry entry) {
        if (auto error = Dispose(entry, force_)) return Keep(plain, error);
        entry.handle.Reset();  // the entry goes as its handle closes
        Removed();
    }

    void Visit(const Location& item, const Expected& expected, DWORD access) {
        OpenedEntry opened;
        if (auto error = Open(item.full, access, opened)) return OpenFailed(item.plain, error);
        Handle(item, expected, std::move(opened), access);
    }

    // Removes a file or a link at once; a folder is listed and stacked. Only a folder opened
    // with the right to list it is entered: one that was a file when listed changed meanwhile.
    void Handle(const Location& item, const Expected& expected, OpenedEntry opened, DWORD access) {
        switch (Classify(opened, expected)) {
        case Found::Elsewhere: return Keep(item.plain, VelquorError::LinkNotRemovable);
        case Found::Folder:
            if (access != kEmptyAccess) return Keep(item.plain, Win32Error(ERROR_DIRECTORY));
            return Enter(item, expected, opened);
        case Found::Link:
        case Found::File: return Remove(item.plain, std::move(opened));
        }
    }

    // Lists an opened folder, removes its files and links and stacks its subfolders. A
    // read-only folder without force is left whole.
    void Enter(const Location& folder, const Expected& place, const OpenedEntry& opened) {
        if ((opened.attributes & FILE_ATTRIBUTE_READONLY) && !force_) {
            return Keep(folder.plain, Win32Error(ERROR_ACCESS_DENIED));
        }
        std::vector<ListedChild> children;
        const std::error_code listError = ListOpened(opened.handle.Get(), children);
        levels_.push_back({folder, place, opened.systemPath, false, {}});
        if (listError) Keep(folder.plain, listError);
        for (const ListedChild& child : children) {
            Level& level = levels_.back();
            if (IsFolder(child.attributes) && !IsLink(child.attributes)) {
                level.folders.push_back(child.name);
                continue;
            }
            const Location item = level.folder.Child(child.name);
            Visit(item, ChildOf(level, child.name), kDeleteAccess);
        }
    }

    // Everything inside is done: the folder goes unless something in it stayed. It is opened
    // again, and must still be the folder that was emptied.
    void Leave() {
        const Level done = std::move(levels_.back());
        levels_.pop_back();
        if (done.kept) {
            if (!levels_.empty()) levels_.back().kept = true;
            return;
        }
        OpenedEntry opened;
        if (auto error = Open(done.folder.full, kDeleteAccess, opened)) {
            return OpenFailed(done.folder.plain, error);
        }
        if (opened.systemPath != done.systemPath || Classify(opened, done.place) != Found::Folder) {
            return Keep(done.folder.plain, VelquorError::TreeMoved);
        }
        Remove(done.folder.plain, std::move(opened));
    }

    const bool force_;
    const BetweenItems& between_;
    TreeReport& report_;
    std::vector<Level> levels_;
};

}  // namespace

std::vector<std::wstring> Win32FileSystemService::Drives() {
    std::vector<std::wstring> drives;
    const auto roots = ReadText([](wchar_t* buffer, DWORD size) {
        return ::GetLogicalDriveStringsW(size, buffer);
    });
    if (!roots) return drives;
    // "C:\", NUL, "E:\", NUL: each root without its backslash.
    std::wstring_view rest = *roots;
    while (!rest.empty()) {
        const size_t end = rest.find(L'\0');
        drives.emplace_back(rest.substr(0, 2));
        rest.remove_prefix(end == std::wstring_view::npos ? rest.size() : end + 1);
    }
    return drives;
}

bool Win32FileSystemService::IsReady(const std::wstring& drive) {
    const auto root = DriveRoot(drive);
    if (!root) return false;
    const QuietDriveErrors quiet;
    // Wine answers the volume question even for a letter whose folder is gone: the root itself
    // must be readable too.
    return ::GetVolumeInformationW(root->c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr,
                                   0) &&
           PathAttributes(*root).has_value();
}

DriveKind Win32FileSystemService::DriveType(const std::wstring& drive) {
    const auto root = DriveRoot(drive);
    if (!root) return DriveKind::Unknown;
    switch (::GetDriveTypeW(root->c_str())) {
    case DRIVE_REMOVABLE: return DriveKind::Removable;
    case DRIVE_FIXED: return DriveKind::Fixed;
    case DRIVE_REMOTE: return DriveKind::Network;
    case DRIVE_CDROM: return DriveKind::CdRom;
    case DRIVE_RAMDISK: return DriveKind::RamDisk;
    default: return DriveKind::Unknown;  // DRIVE_UNKNOWN, and DRIVE_NO_ROOT_DIR (which is 1)
    }
}

std::error_code Win32FileSystemService::ForEachRootEntry(const std::wstring& drive,
                                                        const RootVisitor& visit) {
    const auto root = DriveRoot(drive);
    if (!root) return VelquorError::NotADrivePath;
    const QuietDriveErrors quiet;
    return ForEachChild(std::wstring(kLongPrefix) + *root, [&](const WIN32_FIND_DATAW& data) {
        visit(*root + data.cFileName, IsFolder(data.dwFileAttributes));
    });
}

bool Win32FileSystemService::FileExists(const std::wstring& path) {
    const auto attributes = PathAttributes(path);
    return attributes && !IsFolder(*attributes);
}

bool Win32FileSystemService::FolderExists(const std::wstring& path) {
    const auto attributes = PathAttributes(path);
    return attributes && IsFolder(*attributes);
}

std::optional<std::wstring> Win32FileSystemService::Name(const std::wstring& path) {
    // A wildcard would let the search answer with some other entry's name.
    if (path.find_first_of(L"*?") != std::wstring::npos) return std::nullopt;
    const auto full = LongPath(path);
    if (!full) return std::nullopt;
    WIN32_FIND_DATAW data{};
    const UniqueFind find{::FindFirstFileExW(full->c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr, 0)};
    if (!find) return std::nullopt;
    return std::wstring(data.cFileName);
}

std::optional<std::uint64_t> Win32FileSystemService::FileSize(const std::wstring& path) {
    const auto data = AttributeData(path);
    if (!data || IsFolder(data->dwFileAttributes)) return std::nullopt;
    return (std::uint64_t{data->nFileSizeHigh} << 32) | data->nFileSizeLow;
}

std::optional<LocalDateTime> Win32FileSystemService::DateCreated(const std::wstring& path) {
    const auto data = AttributeData(path);
    if (!data) return std::nullopt;
    return LocalTimeOf(data->ftCreationTime);
}

std::optional<std::wstring> Win32FileSystemService::TypeName(const std::wstring& path) {
    const auto attributes = PathAttributes(path);
    if (!attributes || IsFolder(*attributes)) return std::nullopt;
    // Given the attributes, the shell goes by the name alone instead of reading the folder (Wine
    // reads all of it on every call); the name alone also keeps long paths out of its buffers.
    const std::wstring name(LastComponent(path));
    SHFILEINFOW info{};
    if (!::SHGetFileInfoW(name.c_str(), *attributes, &info, sizeof info,
                          SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES)) {
        return std::nullopt;
    }
    return std::wstring(info.szTypeName);
}

std::error_code Win32FileSystemService::CopyFile(const std::wstring& source,
                                                 const std::wstring& destination, bool overwrite) {
    const auto from = LongPath(source);
    const auto to = LongPath(destination);
    if (!from || !to) return InvalidName();
    return Copy(*from, *to, overwrite);
}

TreeReport Win32FileSystemService::CopyFolder(const std::wstring& source,
                                              const std::wstring& destination, bool overwrite) {
    TreeReport report;
    auto from = Locate(source);
    auto to = LongPath(destination);
    if (!from || !to) {
        report.Add(source, InvalidName());
        return report;
    }
    if (IsSameOrInside(from->full, *to)) {
        report.Add(source, VelquorError::DestinationInsideSource);
        return report;
    }
    const DWORD attributes = ::GetFileAttributesW(from->full.c_str());
    if (auto error = FolderError(attributes)) {
        report.Add(source, error);
    } else if (IsLink(attributes)) {
        report.Add(source, VelquorError::LinkNotFollowed);
    } else {
        CopyTree({std::move(*from), std::move(*to)}, overwrite, report);
    }
    return report;
}

std::error_code Win32FileSystemService::DeleteFile(const std::wstring& path, bool force) {
    RootEntry opened;
    if (auto error = OpenRootEntry(path, kDeleteAccess, opened)) return error;
    // A link to a folder is what FolderExists calls a folder: DeleteFolder's to remove.
    if (IsFolder(opened.entry.attributes)) return std::make_error_code(std::errc::is_a_directory);
    if (Classify(opened.entry, opened.expected) == Found::Elsewhere) {
        return VelquorError::LinkNotRemovable;
    }
    if (auto error = Dispose(opened.entry, force)) return error;
    opened.entry.handle.Reset();
    return {};
}

TreeReport Win32FileSystemService::DeleteFolder(const std::wstring& path, bool force,
                                                const BetweenItems& between) {
    TreeReport report;
    RootEntry opened;
    if (auto error = OpenRootEntry(path, kEmptyAccess, opened)) {
        report.Add(path, error);
    } else if (!IsFolder(opened.entry.attributes)) {
        report.Add(path, Win32Error(ERROR_DIRECTORY));
    } else {
        // A root entry is a clean drive path, which always has its long form.
        const Location top{path, std::wstring(kLongPrefix) + path};
        TreeDeletion(force, between, report).Run(top, std::move(opened));
    }
    return report;
}
