#include "Win32FileSystemService.h"

#include <shellapi.h>

#include <cwctype>
#include <string_view>
#include <utility>

#include "PathText.h"
#include "VelquorError.h"
#include "Errors.h"
#include "FileBytesReader.h"
#include "FileCopy.h"
#include "Owners.h"
#include "TreeWalk.h"

namespace win32 {

namespace {

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
    return Error(ERROR_INVALID_NAME);
}

std::optional<DWORD> PathAttributes(const std::wstring& path) {
    const auto full = LongPath(path);
    if (!full) return std::nullopt;
    const QuietDriveErrors quiet;
    const DWORD attributes = ::GetFileAttributesW(full->c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) return std::nullopt;
    return attributes;
}

std::optional<WIN32_FILE_ATTRIBUTE_DATA> AttributeData(const std::wstring& path) {
    const auto full = LongPath(path);
    WIN32_FILE_ATTRIBUTE_DATA data{};
    const QuietDriveErrors quiet;
    if (!full || !::GetFileAttributesExW(full->c_str(), GetFileExInfoStandard, &data)) {
        return std::nullopt;
    }
    return data;
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
        return error == ERROR_FILE_NOT_FOUND ? std::error_code{} : Error(error);
    }
    do {
        if (!IsDotOrDotDot(data.cFileName)) visit(data);
    } while (::FindNextFileW(find.Get(), &data));
    const DWORD error = ::GetLastError();
    return error == ERROR_NO_MORE_FILES ? std::error_code{} : Error(error);
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

constexpr DWORD kEmptyAccess = kDeleteAccess | FILE_LIST_DIRECTORY;
constexpr DWORD kChangeAccess = FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;

// A root entry of a drive, opened as itself.
std::error_code OpenRootEntry(const std::wstring& path, DWORD access, ListedEntry& opened) {
    if (!RootEntryName(path)) return VelquorError::NotARootEntry;
    const QuietDriveErrors quiet;
    return OpenListed(std::wstring(kLongPrefix) + path, access, opened);
}

// A root entry is a clean drive path, which always has its long form.
Location RootLocation(const std::wstring& path) {
    return {path, std::wstring(kLongPrefix) + path};
}

// Deletes a tree as the walk meets it: files and links at once, each folder once it is empty.
// A folder left holding something that stayed stays too, silently.
class TreeDeletion final : public TreeWalk::Visitor {
public:
    TreeDeletion(bool force, const BetweenItems& between, TreeReport& report)
        : force_(force), between_(between), report_(report) {}

    DWORD Access(bool folder) const override { return folder ? kEmptyAccess : kDeleteAccess; }

    void Meet(const Location& item, Found found, OpenedEntry entry) override {
        if (found == Found::Elsewhere) return Keep(item.plain, VelquorError::LinkNotRemovable);
        if (found == Found::NotByItsName) return Keep(item.plain, WhyNotItself(found));
        Remove(item.plain, std::move(entry));
    }

    // A read-only folder without force is left whole.
    bool Enter(const TreeWalk::Folder& folder, const OpenedEntry& entry) override {
        if ((entry.attributes & FILE_ATTRIBUTE_READONLY) && !force_) {
            Keep(folder.at.plain, Error(ERROR_ACCESS_DENIED));
            return false;
        }
        kept_.push_back(false);
        return true;
    }

    // The folder goes unless something in it stayed. It is opened again, and must still be the
    // folder that was emptied.
    void Leave(const TreeWalk::Folder& done) override {
        const bool kept = kept_.back();
        kept_.pop_back();
        if (kept) return MarkKept();
        OpenedEntry opened;
        if (auto error = Open(done.at.full, kDeleteAccess, opened)) {
            return Failed(done.at.plain, error);
        }
        if (opened.systemPath != done.systemPath ||
            Classify(opened, done.place) != Found::Folder) {
            return Keep(done.at.plain, VelquorError::TreeMoved);
        }
        Remove(done.at.plain, std::move(opened));
    }

    // Gone meanwhile is what deleting wanted.
    void Failed(const std::wstring& plain, std::error_code error) override {
        if (error != std::errc::no_such_file_or_directory) Keep(plain, error);
    }

private:
    // Something stayed: reported once, and the folders holding it stay silently.
    void Keep(const std::wstring& plain, std::error_code error) {
        report_.Add(plain, error);
        MarkKept();
    }
    void MarkKept() {
        if (!kept_.empty()) kept_.back() = true;
    }

    void Remove(const std::wstring& plain, OpenedEntry entry) {
        if (auto error = Dispose(entry, force_)) return Keep(plain, error);
        entry.handle.Reset();  // the entry goes as its handle closes
        CallBetween(between_);
    }

    const bool force_;
    const BetweenItems& between_;
    TreeReport& report_;
    std::vector<bool> kept_;  // for each folder being emptied: something inside stayed
};

// Takes attributes off the entries of a tree as the walk meets them, each folder as it is
// entered. Links keep theirs, and so do their targets: each is reported.
class AttributeClearing final : public TreeWalk::Visitor {
public:
    AttributeClearing(DWORD mask, const BetweenItems& between, AttributeReport& report)
        : mask_(mask), between_(between), report_(report) {}

    DWORD Access(bool folder) const override {
        return folder ? kChangeAccess | FILE_LIST_DIRECTORY : kChangeAccess;
    }

    void Meet(const Location& item, Found found, OpenedEntry entry) override {
        if (found == Found::File) {
            Clear(item.plain, entry);
        } else {
            Failed(item.plain, WhyNotItself(found));
        }
        CallBetween(between_);
    }

    bool Enter(const TreeWalk::Folder& folder, const OpenedEntry& entry) override {
        Clear(folder.at.plain, entry);
        return true;
    }

    void Leave(const TreeWalk::Folder&) override { CallBetween(between_); }

    void Failed(const std::wstring& plain, std::error_code error) override {
        report_.failures.push_back({plain, error});
    }

private:
    void Clear(const std::wstring& plain, const OpenedEntry& entry) {
        const DWORD after = entry.attributes & ~mask_;
        if (after == entry.attributes) return;
        const auto id = IdOf(entry.handle.Get());
        if (!id || !WriteAttributes(entry.handle.Get(), after)) return Failed(plain, LastError());
        report_.changes.push_back({plain, entry.attributes, after, *id});
    }

    const DWORD mask_;
    const BetweenItems& between_;
    AttributeReport& report_;
};

// The path as Wine names what it opens: each name without its trailing dots and spaces.
std::wstring WithoutTrailingDots(std::wstring_view path) {
    std::wstring named;
    const auto cut = [&named] { named.erase(named.find_last_not_of(L". ") + 1); };
    for (const wchar_t c : path) {
        if (c == L'\\') cut();
        named += c;
    }
    cut();
    return named;
}

// The entry at a drive path, opened as itself: its system name must be its drive root's followed
// by the path, or else the system followed a link on the way. Named without trailing dots, as
// Wine names it, it may be a sibling, which only its identity tells.
std::error_code OpenFromRoot(const std::wstring& path, OpenedEntry& opened) {
    const auto full = LongPath(path);
    const auto root = DriveRoot(LineDrive(path));
    if (!full || !root) return InvalidName();
    const QuietDriveErrors quiet;
    OpenedEntry rootEntry;
    if (auto error = Open(std::wstring(kLongPrefix) + *root, FILE_READ_ATTRIBUTES | SYNCHRONIZE, rootEntry)) {
        return error;
    }
    if (auto error = Open(*full, kChangeAccess, opened)) return error;
    const std::wstring relative = full->substr(kLongPrefix.size() + root->size());
    const bool asNamed = opened.systemPath == Join(rootEntry.systemPath, relative) ||
                         opened.systemPath == Join(rootEntry.systemPath, WithoutTrailingDots(relative));
    return asNamed && !IsLink(opened.attributes) ? std::error_code{} : VelquorError::LinkNotFollowed;
}

// What follows a name's last dot, in lower case; empty for a name without one.
std::wstring LowerCaseExtension(std::wstring_view name) {
    const size_t dot = name.rfind(L'.');
    std::wstring extension(dot == std::wstring_view::npos ? std::wstring_view{} : name.substr(dot + 1));
    for (wchar_t& c : extension) c = static_cast<wchar_t>(std::towlower(static_cast<std::wint_t>(c)));
    return extension;
}

}  // namespace

std::vector<std::wstring> FileSystemService::Drives() {
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

std::optional<std::wstring> FileSystemService::DeviceOf(const std::wstring& drive) {
    const auto letter = DriveOf(drive);
    if (!letter) return std::nullopt;
    // The letters of GetLogicalDrives are the DOS devices named "X:"; asking for one by name costs
    // 5 to 10 microseconds under Wine, where GetLogicalDrives costs a millisecond. A device's name
    // is short; a longer target (a subst of a deep folder) is there, unread.
    wchar_t target[MAX_PATH + 1];
    if (::QueryDosDeviceW(std::wstring(*letter).c_str(), target, MAX_PATH + 1) != 0) return std::wstring(target);
    if (::GetLastError() == ERROR_FILE_NOT_FOUND) return std::nullopt;
    return std::wstring();
}

DriveKind FileSystemService::DriveType(const std::wstring& drive) {
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

bool FileSystemService::IsReady(const std::wstring& drive) {
    const auto root = DriveRoot(drive);
    if (!root) return false;
    const QuietDriveErrors quiet;
    // Wine answers the volume question even for a letter whose folder is gone: the root itself
    // must be readable too.
    return ::GetVolumeInformationW(root->c_str(), nullptr, 0, nullptr, nullptr, nullptr, nullptr,
                                   0) &&
           PathAttributes(*root).has_value();
}

// The root opened once gives both: the volume's serial number and the root folder's file number.
std::optional<VolumeId> FileSystemService::VolumeOf(const std::wstring& drive) {
    const auto root = DriveRoot(drive);
    if (!root) return std::nullopt;
    const QuietDriveErrors quiet;
    const UniqueFile opened{::CreateFileW((std::wstring(kLongPrefix) + *root).c_str(),
                                          FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll, nullptr,
                                          OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
    BY_HANDLE_FILE_INFORMATION info{};
    if (!opened || !::GetFileInformationByHandle(opened.Get(), &info)) return std::nullopt;
    return VolumeId{info.dwVolumeSerialNumber,
                    (std::uint64_t{info.nFileIndexHigh} << 32) | info.nFileIndexLow};
}

std::error_code FileSystemService::ForEachRootEntry(const std::wstring& drive,
                                                        const RootVisitor& visit) {
    const auto root = DriveRoot(drive);
    if (!root) return VelquorError::NotADrivePath;
    const QuietDriveErrors quiet;
    return ForEachChild(std::wstring(kLongPrefix) + *root, [&](const WIN32_FIND_DATAW& data) {
        visit(*root + data.cFileName, data.dwFileAttributes & ~FILE_ATTRIBUTE_NORMAL);
    });
}

bool FileSystemService::FileExists(const std::wstring& path) {
    const auto attributes = PathAttributes(path);
    return attributes && !IsFolder(*attributes);
}

bool FileSystemService::FolderExists(const std::wstring& path) {
    const auto attributes = PathAttributes(path);
    return attributes && IsFolder(*attributes);
}

std::optional<std::wstring> FileSystemService::Name(const std::wstring& path) {
    // A wildcard would let the search answer with some other entry's name.
    if (path.find_first_of(L"*?") != std::wstring::npos) return std::nullopt;
    const auto full = LongPath(path);
    if (!full) return std::nullopt;
    WIN32_FIND_DATAW data{};
    const QuietDriveErrors quiet;
    const UniqueFind find{::FindFirstFileExW(full->c_str(), FindExInfoBasic, &data,
                                             FindExSearchNameMatch, nullptr, 0)};
    if (!find) return std::nullopt;
    return std::wstring(data.cFileName);
}

std::optional<std::uint64_t> FileSystemService::FileSize(const std::wstring& path) {
    const auto data = AttributeData(path);
    if (!data || IsFolder(data->dwFileAttributes)) return std::nullopt;
    return (std::uint64_t{data->nFileSizeHigh} << 32) | data->nFileSizeLow;
}

std::optional<LocalDateTime> FileSystemService::DateCreated(const std::wstring& path) {
    const auto data = AttributeData(path);
    if (!data) return std::nullopt;
    return LocalTimeOf(data->ftCreationTime);
}

std::optional<std::wstring> FileSystemService::TypeName(const std::wstring& path) {
    const auto attributes = PathAttributes(path);
    if (!attributes || IsFolder(*attributes)) return std::nullopt;
    // Given the attributes, the shell goes by the name's extension alone instead of reading the
    // folder (Wine reads all of it on every call); the name alone also keeps long paths out of
    // its buffers.
    const std::wstring name(LastComponent(path));
    const std::wstring extension = LowerCaseExtension(name);
    if (const auto known = typeNames_.find(extension); known != typeNames_.end()) return known->second;
    SHFILEINFOW info{};
    if (!::SHGetFileInfoW(name.c_str(), *attributes, &info, sizeof info,
                          SHGFI_TYPENAME | SHGFI_USEFILEATTRIBUTES)) {
        return std::nullopt;
    }
    return typeNames_[extension] = info.szTypeName;
}

std::error_code FileSystemService::ReadFileBytes(const std::wstring& path, std::size_t most, FileBytes& bytes) {
    return win32::ReadFileBytes(path, most, bytes);
}

std::error_code FileSystemService::CopyFile(const std::wstring& source,
                                                 const std::wstring& destination, bool overwrite,
                                                 CopyRun& run, const BetweenItems& between) {
    const auto from = LongPath(source);
    const auto to = LongPath(destination);
    if (!from || !to) return InvalidName();
    const QuietDriveErrors quiet;
    ListedEntry opened;
    if (auto error = OpenListed(*from, kReadAccess, opened)) return error;
    if (auto error = WhyNotAFile(Classify(opened.entry, opened.expected))) return error;
    return CopyOpenedFile(opened.entry.handle.Get(), *to, overwrite, run, between);
}

TreeReport FileSystemService::CopyFolder(const std::wstring& source,
                                              const std::wstring& destination, bool overwrite,
                                              CopyRun& run, const BetweenItems& between) {
    TreeReport report;
    const auto from = Locate(source);
    const auto to = LongPath(destination);
    if (!from || !to) {
        report.Add(source, InvalidName());
        return report;
    }
    const QuietDriveErrors quiet;
    ListedEntry opened;
    if (auto error = OpenListed(from->full, kReadAccess, opened)) {
        report.Add(source, error);
    } else if (Classify(opened.entry, opened.expected) == Found::File) {
        report.Add(source, Error(ERROR_DIRECTORY));
    } else {
        CopyTree(*from, std::move(opened), *to, overwrite, run, between, report);
    }
    return report;
}

std::error_code FileSystemService::DeleteFile(const std::wstring& path, bool force) {
    ListedEntry opened;
    if (auto error = OpenRootEntry(path, kDeleteAccess, opened)) return error;
    // A link to a folder is what FolderExists calls a folder: DeleteFolder's to remove.
    if (IsFolder(opened.entry.attributes)) return std::make_error_code(std::errc::is_a_directory);
    const Found found = Classify(opened.entry, opened.expected);
    if (found == Found::Elsewhere) return VelquorError::LinkNotRemovable;
    if (found == Found::NotByItsName) return WhyNotItself(found);
    if (auto error = Dispose(opened.entry, force)) return error;
    opened.entry.handle.Reset();
    return {};
}

TreeReport FileSystemService::DeleteFolder(const std::wstring& path, bool force,
                                                const BetweenItems& between) {
    TreeReport report;
    ListedEntry opened;
    if (auto error = OpenRootEntry(path, kEmptyAccess, opened)) {
        report.Add(path, error);
    } else if (!IsFolder(opened.entry.attributes)) {
        report.Add(path, Error(ERROR_DIRECTORY));
    } else {
        TreeDeletion deletion(force, between, report);
        TreeWalk(deletion).Run(RootLocation(path), std::move(opened));
    }
    return report;
}

AttributeReport FileSystemService::ClearAttributes(const std::wstring& path,
                                                        Attributes mask,
                                                        const BetweenItems& between) {
    AttributeReport report;
    AttributeClearing clearing(mask, between, report);
    ListedEntry opened;
    if (auto error = OpenRootEntry(path, clearing.Access(true), opened)) {
        clearing.Failed(path, error);
    } else {
        TreeWalk(clearing).Run(RootLocation(path), std::move(opened));
    }
    return report;
}

std::error_code FileSystemService::RestoreAttributes(const AttributeChange& change) {
    OpenedEntry opened;
    if (auto error = OpenFromRoot(change.path, opened)) return error;
    const auto id = IdOf(opened.handle.Get());
    if (!id) return LastError();
    if (*id != change.id) return VelquorError::NotTheChangedEntry;
    return WriteAttributes(opened.handle.Get(), change.before) ? std::error_code{} : LastError();
}

}  // namespace win32
