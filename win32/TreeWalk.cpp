#include "TreeWalk.h"

#include <winternl.h>

#include <algorithm>
#include <memory>

#include "PathText.h"
#include "Errors.h"
#include "VelquorError.h"

namespace win32 {

namespace {

constexpr std::wstring_view kLongUncPrefix = L"\\\\?\\UNC\\";

bool HasDotParts(std::wstring_view path) {
    for (size_t start = 0; start <= path.size();) {
        const size_t end = std::min(path.find(L'\\', start), path.size());
        if (IsDotOrDotDot(path.substr(start, end - start))) return true;
        start = end + 1;
    }
    return false;
}

enum class Where { Listed, UnderAShorterName, Elsewhere };

// The attributes the folder's own listing gives the entry of exactly that name; a link to a
// folder shows there as one even where opening it leads to its target.
std::optional<DWORD> ListedAttributes(const std::wstring& full) {
    WIN32_FIND_DATAW data{};
    const UniqueFind find{::FindFirstFileExW(full.c_str(), FindExInfoBasic, &data, FindExSearchNameMatch, nullptr, 0)};
    if (!find) return std::nullopt;
    return data.dwFileAttributes;
}

// Whether the opened entry is the one its folder listed. Wine drops the trailing dots and spaces
// of a name from the system path: an entry found under that shorter name is the one listed while
// no sibling has it. Beside such a sibling it may be a link to it ("x." to "x"), which the
// listing tells only of a link to a folder; else it cannot be told from the sibling.
Where WhereOpened(const OpenedEntry& entry, const Expected& expected) {
    if (entry.systemPath == Join(expected.systemFolder, expected.name)) return Where::Listed;
    const size_t kept = expected.name.find_last_not_of(L". ");
    if (kept == std::wstring::npos || kept + 1 == expected.name.size()) return Where::Elsewhere;
    const std::wstring shorter = expected.name.substr(0, kept + 1);
    if (entry.systemPath != Join(expected.systemFolder, shorter)) return Where::Elsewhere;
    const bool sibling = ::GetFileAttributesW(Join(expected.fullFolder, shorter).c_str()) != INVALID_FILE_ATTRIBUTES;
    if (!sibling) return Where::Listed;
    const auto listed = ListedAttributes(Join(expected.fullFolder, expected.name));
    return listed && IsLink(*listed) ? Where::Elsewhere : Where::UnderAShorterName;
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
            return end ? std::error_code{} : Error(error);
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

Expected ChildOf(const TreeWalk::Folder& folder, const std::wstring& name) {
    return {folder.systemPath, folder.at.full, name};
}

}  // namespace

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

std::wstring FolderOf(const std::wstring& full) {
    std::wstring folder = full.substr(0, full.find_last_of(L'\\'));
    // "\\?\E:" alone would name the volume, not its root folder.
    if (folder.ends_with(L':')) folder += L'\\';
    return folder;
}

std::optional<Location> Locate(const std::wstring& path) {
    auto full = LongPath(path);
    if (!full) return std::nullopt;
    return Location{path, std::move(*full)};
}

// Under Wine, GetFinalPathNameByHandleW gives up past MAX_PATH; the object's own name has no limit.
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
    if (!entry.handle) return LastError();
    FILE_ATTRIBUTE_TAG_INFO tag{};
    if (!::GetFileInformationByHandleEx(entry.handle.Get(), FileAttributeTagInfo, &tag,
                                        sizeof tag)) {
        return LastError();
    }
    auto systemPath = SystemPath(entry.handle.Get());
    if (!systemPath) return LastError();
    // NORMAL only says that no other attribute is set.
    entry.attributes = tag.FileAttributes & ~FILE_ATTRIBUTE_NORMAL;
    entry.systemPath = std::move(*systemPath);
    return {};
}

std::optional<EntryId> IdOf(HANDLE handle) {
    BY_HANDLE_FILE_INFORMATION info{};
    if (!::GetFileInformationByHandle(handle, &info)) return std::nullopt;
    return EntryId{info.dwVolumeSerialNumber,
                   (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::optional<EntryId> IdOnVolume(HANDLE handle, std::uint64_t volume) {
    constexpr auto kFileInternalInformation = static_cast<FILE_INFORMATION_CLASS>(6);
    LARGE_INTEGER number{};
    IO_STATUS_BLOCK io{};
    const NTSTATUS status = ::NtQueryInformationFile(handle, &io, &number, sizeof number, kFileInternalInformation);
    if (!NT_SUCCESS(status)) {
        ::SetLastError(::RtlNtStatusToDosError(status));
        return std::nullopt;
    }
    return EntryId{volume, static_cast<std::uint64_t>(number.QuadPart)};
}

bool WriteAttributes(HANDLE handle, DWORD attributes) {
    // Zero times leave the times as they are; zero attributes would too, hence NORMAL.
    FILE_BASIC_INFO basic{};
    const DWORD settable = attributes & ~(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT);
    basic.FileAttributes = settable ? settable : FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(handle, FileBasicInfo, &basic, sizeof basic);
}

std::error_code Dispose(const OpenedEntry& entry, bool force) {
    const bool readOnly = (entry.attributes & FILE_ATTRIBUTE_READONLY) != 0;
    if (readOnly && !force) return Error(ERROR_ACCESS_DENIED);
    HANDLE handle = entry.handle.Get();
    if (readOnly && !WriteAttributes(handle, entry.attributes & ~FILE_ATTRIBUTE_READONLY)) {
        return LastError();
    }
    FILE_DISPOSITION_INFO disposition{TRUE};
    if (::SetFileInformationByHandle(handle, FileDispositionInfo, &disposition,
                                     sizeof disposition)) {
        return {};
    }
    const std::error_code error = LastError();
    if (readOnly) WriteAttributes(handle, entry.attributes);
    return error;
}

Found Classify(const OpenedEntry& entry, const Expected& expected) {
    switch (WhereOpened(entry, expected)) {
    case Where::Elsewhere: return Found::Elsewhere;
    case Where::UnderAShorterName: return Found::NotByItsName;
    case Where::Listed: break;
    }
    if (IsLink(entry.attributes)) return Found::Link;
    return IsFolder(entry.attributes) ? Found::Folder : Found::File;
}

// The entry first: a copy asks of many targets that are not there yet.
std::error_code OpenListed(const std::wstring& full, DWORD access, ListedEntry& opened) {
    if (auto error = Open(full, access, opened.entry)) return error;
    const std::wstring folder = FolderOf(full);
    const UniqueFile folderHandle{::CreateFileW(folder.c_str(), FILE_READ_ATTRIBUTES | SYNCHRONIZE,
                                                kShareAll, nullptr, OPEN_EXISTING, kOpenAsItself,
                                                nullptr)};
    if (!folderHandle) return LastError();
    auto systemFolder = SystemPath(folderHandle.Get());
    if (!systemFolder) return LastError();
    opened.expected = {std::move(*systemFolder), folder, full.substr(full.find_last_of(L'\\') + 1)};
    return {};
}

std::error_code WhyNotItself(Found found) {
    return found == Found::NotByItsName ? VelquorError::NotOpenedByExactName : VelquorError::LinkNotFollowed;
}

std::error_code WhyNotAFile(Found found) {
    switch (found) {
    case Found::File: return {};
    case Found::Folder: return std::make_error_code(std::errc::is_a_directory);
    default: return WhyNotItself(found);
    }
}

void TreeWalk::Run(const Location& top, ListedEntry opened) {
    Dispatch(top, opened.expected, std::move(opened.entry), true);
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.pending.empty()) {
            const Folder done = std::move(level.folder);
            levels_.pop_back();
            visitor_.Leave(done);
            continue;
        }
        const std::wstring name = std::move(level.pending.back());
        level.pending.pop_back();
        const Location item = level.folder.at.Child(name);
        Visit(item, ChildOf(level.folder, name), true);
    }
}

void TreeWalk::Visit(const Location& item, const Expected& expected, bool folder) {
    OpenedEntry opened;
    if (auto error = Open(item.full, visitor_.Access(folder), opened)) {
        return visitor_.Failed(item.plain, error);
    }
    Dispatch(item, expected, std::move(opened), folder);
}

// Only a folder opened with the right to list it is entered: one that was a file when listed
// changed meanwhile.
void TreeWalk::Dispatch(const Location& item, const Expected& expected, OpenedEntry opened,
                        bool openedAsFolder) {
    const Found found = Classify(opened, expected);
    if (found != Found::Folder) return visitor_.Meet(item, found, std::move(opened));
    if (!openedAsFolder) return visitor_.Failed(item.plain, Error(ERROR_DIRECTORY));
    Enter(item, expected, opened);
}

// Lists an opened folder, hands over its files and links at once and stacks its subfolders.
void TreeWalk::Enter(const Location& item, const Expected& place, const OpenedEntry& opened) {
    Folder folder{item, place, opened.systemPath};
    if (!visitor_.Enter(folder, opened)) return;
    std::vector<ListedChild> children;
    const std::error_code listError = ListOpened(opened.handle.Get(), children);
    levels_.push_back({std::move(folder), {}});
    if (listError) visitor_.Failed(item.plain, listError);
    for (const ListedChild& child : children) {
        Level& level = levels_.back();
        if (IsFolder(child.attributes) && !IsLink(child.attributes)) {
            level.pending.push_back(child.name);
            continue;
        }
        const Location entry = level.folder.at.Child(child.name);
        Visit(entry, ChildOf(level.folder, child.name), false);
    }
}

}  // namespace win32
