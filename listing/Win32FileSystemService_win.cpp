#include "listing/Win32FileSystemService_win.h"

#include <shellapi.h>

#include <algorithm>
#include <cwchar>
#include <cwctype>
#include <string_view>
#include <utility>

#include "listing/PathText.h"
#include "listing/VelquorError.h"
#include "listing/Win32Error.h"
#include "listing/Win32Handles_win.h"


namespace {

constexpr std::wstring_view kLongPrefix = L"\\\\?\\";
constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";
// What a forced delete of a tree takes off an entry that the system refused to remove.
constexpr DWORD kProtection =
    FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM;

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

// A full drive path that needs no clean-up: "E:\x\y" without "." or ".." parts or forward slashes.
bool IsCleanDrivePath(std::wstring_view path) {
    if (path.size() < 3 || !std::iswalpha(path[0]) || path.substr(1, 2) != L":\\") return false;
    if (path.find(L'/') != std::wstring_view::npos) return false;
    for (size_t start = 3; start <= path.size();) {
        const size_t end = std::min(path.find(L'\\', start), path.size());
        const std::wstring_view part = path.substr(start, end - start);
        if (part == L"." || part == L"..") return false;
        start = end + 1;
    }
    return true;
}

// The \\?\ form, free of the 260-character limit. A clean drive path takes the prefix as it
// stands, so that names the system would otherwise bend (devices such as "con", trailing dots or
// spaces: tricks that malware uses to make its folders hard to delete) stay reachable. Any other
// path is made full first, because the prefix turns off the clean-up of ".", ".." and slashes.
std::optional<std::wstring> LongPath(const std::wstring& path) {
    if (path.starts_with(kLongPrefix)) return path;
    if (IsCleanDrivePath(path)) return std::wstring(kLongPrefix) + path;
    auto full = ReadText([&](wchar_t* buffer, DWORD size) {
        return ::GetFullPathNameW(path.c_str(), size, buffer, nullptr);
    });
    if (!full) return std::nullopt;
    if (full->starts_with(L"\\\\")) return std::wstring(kLongUncPrefix) + full->substr(2);
    return std::wstring(kLongPrefix) + *full;
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

bool IsDotOrDotDot(const wchar_t* name) {
    return std::wcscmp(name, L".") == 0 || std::wcscmp(name, L"..") == 0;
}

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
    const bool rootForm = drive.size() == 2 || (drive.size() == 3 && drive[2] == L'\\');
    if (!rootForm || drive[1] != L':') return std::nullopt;
    const wchar_t letter = drive[0];
    if (!((letter >= L'A' && letter <= L'Z') || (letter >= L'a' && letter <= L'z'))) {
        return std::nullopt;
    }
    return drive.substr(0, 2) + L"\\";
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

using RemoveCall = BOOL(WINAPI*)(LPCWSTR);

std::error_code Remove(RemoveCall remove, const std::wstring& full) {
    return remove(full.c_str()) ? std::error_code{} : LastWin32Error();
}

// Removes one entry. With force, an entry that the system refused loses the attributes in
// `protection` and is tried again; if it still cannot go, it gets them back.
std::error_code RemoveEntry(RemoveCall remove, const std::wstring& full, DWORD protection,
                            bool force) {
    std::error_code error = Remove(remove, full);
    if (!force || error != Win32Error(ERROR_ACCESS_DENIED)) return error;
    const DWORD attributes = ::GetFileAttributesW(full.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & protection) == 0) return error;
    const DWORD unprotected = attributes & ~protection;
    if (!::SetFileAttributesW(full.c_str(), unprotected ? unprotected : FILE_ATTRIBUTE_NORMAL)) {
        return error;
    }
    error = Remove(remove, full);
    if (error) ::SetFileAttributesW(full.c_str(), attributes);
    return error;
}

struct PendingDelete {
    Location folder;
    bool opened = false;
};

// Removes a file or link at once; a real folder is stacked, to go after what is inside it. A
// link is removed as what it is (a folder link with RemoveDirectoryW), never through.
void DeleteEntry(Location entry, DWORD attributes, bool force, std::vector<PendingDelete>& stack,
                 TreeReport& report) {
    if (IsFolder(attributes) && !IsLink(attributes)) {
        stack.push_back({std::move(entry)});
        return;
    }
    const RemoveCall remove = IsFolder(attributes) ? ::RemoveDirectoryW : ::DeleteFileW;
    if (auto error = RemoveEntry(remove, entry.full, kProtection, force)) {
        report.Add(entry.plain, error);
    }
}

void DeleteLevel(const Location& folder, bool force, std::vector<PendingDelete>& stack,
                 TreeReport& report) {
    const FolderContents contents = ReadFolder(folder.full);
    if (contents.error) report.Add(folder.plain, contents.error);
    for (const Child& child : contents.children) {
        DeleteEntry(folder.Child(child.name), child.attributes, force, stack, report);
    }
}

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
    if (!attributes) return std::nullopt;
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
    const auto full = LongPath(path);
    if (!full) return InvalidName();
    return RemoveEntry(::DeleteFileW, *full, FILE_ATTRIBUTE_READONLY, force);
}

TreeReport Win32FileSystemService::DeleteFolder(const std::wstring& path, bool force,
                                                const BetweenItems& between) {
    TreeReport report;
    auto top = Locate(path);
    if (!top) {
        report.Add(path, InvalidName());
        return report;
    }
    const DWORD attributes = ::GetFileAttributesW(top->full.c_str());
    if (auto error = FolderError(attributes)) {
        report.Add(path, error);
        return report;
    }
    // Depth first: a folder stays on the stack, opened, until everything inside it is gone.
    std::vector<PendingDelete> stack;
    DeleteEntry(std::move(*top), attributes, force, stack, report);
    while (!stack.empty()) {
        if (between) between();
        if (stack.back().opened) {
            const Location folder = std::move(stack.back().folder);
            stack.pop_back();
            if (auto error = RemoveEntry(::RemoveDirectoryW, folder.full, kProtection, force)) {
                report.Add(folder.plain, error);
            }
            continue;
        }
        stack.back().opened = true;
        const Location folder = stack.back().folder;
        DeleteLevel(folder, force, stack, report);
    }
    return report;
}
