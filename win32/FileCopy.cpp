#include "FileCopy.h"

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cwchar>
#include <memory>

#include "PathText.h"
#include "VelquorError.h"
#include "Errors.h"

namespace win32 {

namespace {

constexpr DWORD kChunk = 1024 * 1024;
// Windows refuses to put a file in the place of one with these (Wine does not mind).
constexpr DWORD kProtecting = FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN |
                              FILE_ATTRIBUTE_SYSTEM;
constexpr DWORD kAttributeAccess = FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;

// Why the entry at target may not give its place to a copy of source, or nothing (also when it
// is gone meanwhile). A link as target is replaced, never written through.
std::error_code CheckTarget(HANDLE source, const std::wstring& target, bool overwrite,
                            const CopyRun& run) {
    OpenedEntry existing;
    const std::error_code error = Open(target, FILE_READ_ATTRIBUTES | SYNCHRONIZE, existing);
    if (error == std::errc::no_such_file_or_directory) return {};
    if (error) return error;
    if (!overwrite) return Error(ERROR_FILE_EXISTS);
    if (IsFolder(existing.attributes)) return std::make_error_code(std::errc::is_a_directory);
    const auto sourceId = IdOf(source);
    const auto targetId = IdOf(existing.handle.Get());
    if (!sourceId || !targetId) return LastError();
    if (run.HasWritten(*targetId)) return VelquorError::NameAlreadyCopied;
    if (*sourceId == *targetId) return VelquorError::DestinationIsSource;
    return {};
}

// Where the system's own names of drive paths begin: "\??\E:\x" is "\\?\E:\x".
constexpr std::wstring_view kDosDevices = L"\\??\\";

// The name a rename is given: the system's own form of a long path.
std::wstring NativeName(const std::wstring& full) {
    return std::wstring(kDosDevices) + full.substr(kLongPrefix.size());
}

// A file made beside a copy's target under a name no other entry has. It is marked to go as its
// handle closes, so that whatever ends the program (a crash, "X", a killed process) it leaves
// nothing behind, and the mark comes off only as it takes the target's name.
class TempFile {
public:
    // CREATE_NEW fails rather than open an entry that is there: the name is tried afresh.
    std::error_code Create(const std::wstring& folder) {
        static std::uint32_t next = ::GetTickCount() ^ (::GetCurrentProcessId() << 16);
        for (int attempt = 0; attempt < 100; ++attempt) {
            next = next * 1664525 + 1013904223;
            wchar_t name[24];
            std::swprintf(name, 24, L"~velquor-%08x.tmp", next);
            const std::wstring path = Join(folder, name);
            file_ = UniqueFile{::CreateFileW(path.c_str(), GENERIC_WRITE | DELETE, 0, nullptr,
                                             CREATE_NEW, FILE_ATTRIBUTE_NORMAL, nullptr)};
            if (file_) {
                if (MarkToGo(true)) return {};
                const std::error_code error = LastError();
                file_.Reset();
                ::DeleteFileW(path.c_str());
                return error;
            }
            if (::GetLastError() != ERROR_FILE_EXISTS) break;
        }
        return LastError();
    }

    HANDLE Handle() const { return file_.Get(); }

    // Renames the file, still open, to target (long form); replace lets it take the place of a
    // file that is there. Through the handle it costs a third of a MoveFileExW under Wine, and
    // a rename within one folder has nothing for MOVEFILE_WRITE_THROUGH to wait for. The file
    // keeps no mark afterwards, renamed or not: Discard puts it back when the copy gives up.
    std::error_code RenameTo(const std::wstring& target, bool replace) {
        if (!MarkToGo(false)) return LastError();
        const std::wstring name = NativeName(target);
        const size_t size = offsetof(FILE_RENAME_INFO, FileName) + (name.size() + 1) * sizeof(wchar_t);
        const auto buffer = std::make_unique<LONGLONG[]>(size / sizeof(LONGLONG) + 1);
        auto* rename = reinterpret_cast<FILE_RENAME_INFO*>(buffer.get());
        rename->ReplaceIfExists = replace;
        rename->FileNameLength = static_cast<DWORD>(name.size() * sizeof(wchar_t));
        std::wmemcpy(rename->FileName, name.c_str(), name.size() + 1);
        if (!::SetFileInformationByHandle(file_.Get(), FileRenameInfo, rename, static_cast<DWORD>(size))) {
            return LastError();
        }
        return {};
    }

    // Marks the file to go again; Windows deletes no read-only file, and the source's attributes
    // may be on it already.
    void Discard() {
        if (MarkToGo(true)) return;
        FILE_BASIC_INFO writable{};
        writable.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        ::SetFileInformationByHandle(file_.Get(), FileBasicInfo, &writable, sizeof writable);
        MarkToGo(true);
    }

    std::error_code Close() {
        return ::CloseHandle(file_.Release()) ? std::error_code{} : LastError();
    }

private:
    bool MarkToGo(bool go) {
        FILE_DISPOSITION_INFO disposition{go};
        return ::SetFileInformationByHandle(file_.Get(), FileDispositionInfo, &disposition, sizeof disposition);
    }

    UniqueFile file_;
};

std::error_code CopyBytes(HANDLE from, HANDLE to, const BetweenItems& between) {
    LARGE_INTEGER size{};
    if (!::GetFileSizeEx(from, &size)) return LastError();
    const auto chunk = static_cast<DWORD>(std::min<LONGLONG>(kChunk, size.QuadPart + 1));
    const auto buffer = std::make_unique_for_overwrite<char[]>(chunk);
    for (;;) {
        DWORD got = 0;
        if (!::ReadFile(from, buffer.get(), chunk, &got, nullptr)) return LastError();
        if (got == 0) return {};
        DWORD written = 0;
        if (!::WriteFile(to, buffer.get(), got, &written, nullptr)) return LastError();
        if (written != got) return Error(ERROR_DISK_FULL);
        CallBetween(between);
    }
}

// As CopyFileW does: the source's attributes and last write time; the copy's creation is its own.
std::error_code CopyBasics(HANDLE from, HANDLE to) {
    FILE_BASIC_INFO source{};
    if (!::GetFileInformationByHandleEx(from, FileBasicInfo, &source, sizeof source)) {
        return LastError();
    }
    FILE_BASIC_INFO copy{};
    copy.LastWriteTime = source.LastWriteTime;
    copy.FileAttributes = source.FileAttributes & ~FILE_ATTRIBUTE_NORMAL;
    if (copy.FileAttributes == 0) copy.FileAttributes = FILE_ATTRIBUTE_NORMAL;
    return ::SetFileInformationByHandle(to, FileBasicInfo, &copy, sizeof copy)
               ? std::error_code{}
               : LastError();
}

// The attributes of a file at target that would keep a copy from its place, taken off; nothing
// when none is in the way (a link keeps its own, and its target is never reached).
std::optional<DWORD> Unprotect(const std::wstring& target) {
    ListedEntry existing;
    if (OpenListed(target, kAttributeAccess, existing) ||
        Classify(existing.entry, existing.expected) != Found::File ||
        (existing.entry.attributes & kProtecting) == 0 ||
        !WriteAttributes(existing.entry.handle.Get(), existing.entry.attributes & ~kProtecting)) {
        return std::nullopt;
    }
    return existing.entry.attributes;
}

// Puts the attributes back on a target that stays.
void Reprotect(const std::wstring& target, DWORD attributes) {
    ListedEntry existing;
    if (!OpenListed(target, kAttributeAccess, existing) &&
        Classify(existing.entry, existing.expected) == Found::File) {
        WriteAttributes(existing.entry.handle.Get(), attributes);
    }
}

// Most targets are not there yet: what is there is looked at only when the system says so.
std::error_code PutInPlace(HANDLE source, TempFile& copy, const std::wstring& target,
                           bool overwrite, const CopyRun& run) {
    const std::error_code error = copy.RenameTo(target, false);
    if (error != std::errc::file_exists) return error;
    if (auto refused = CheckTarget(source, target, overwrite, run)) return refused;
    const std::optional<DWORD> unprotected = Unprotect(target);
    if (auto failed = copy.RenameTo(target, true)) {
        // The earlier copy stays: with what it had, as far as the system lets it.
        if (unprotected) Reprotect(target, *unprotected);
        return failed;
    }
    return {};
}

UniqueFile OpenResolved(const std::wstring& full) {
    return UniqueFile{::CreateFileW(full.c_str(), FILE_READ_ATTRIBUTES | SYNCHRONIZE, kShareAll,
                                    nullptr, OPEN_EXISTING, FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
}

// Takes the folder at full as the copy of one tree of run, giving its identity: one that the run
// copied another tree into is refused.
std::error_code ClaimFolder(const std::wstring& full, CopyRun& run, EntryId& claimed) {
    const UniqueFile folder = OpenResolved(full);
    const auto id = folder ? IdOf(folder.Get()) : std::nullopt;
    if (!id) return LastError();
    if (run.HasWritten(*id)) return VelquorError::NameAlreadyCopied;
    run.Wrote(*id);
    claimed = *id;
    return {};
}

// Creates the folder, or accepts the one already there. An earlier copy left read-only (which
// under Wine keeps files out) takes the new contents all the same: it gets its source's
// attributes once they are in.
std::error_code EnsureFolder(const std::wstring& full, CopyRun& run, EntryId& claimed) {
    if (::CreateDirectoryW(full.c_str(), nullptr)) return ClaimFolder(full, run, claimed);
    const DWORD error = ::GetLastError();
    const DWORD attributes = ::GetFileAttributesW(full.c_str());
    if (error != ERROR_ALREADY_EXISTS || attributes == INVALID_FILE_ATTRIBUTES ||
        !IsFolder(attributes)) {
        return Error(error);
    }
    if (auto refused = ClaimFolder(full, run, claimed)) return refused;
    if ((attributes & FILE_ATTRIBUTE_READONLY) == 0) return {};
    const DWORD writable = attributes & ~(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_DIRECTORY);
    return ::SetFileAttributesW(full.c_str(), writable ? writable : FILE_ATTRIBUTE_NORMAL)
               ? std::error_code{}
               : LastError();
}

// The nearest entry of full (long form) that exists, opened as the system resolves it.
std::error_code OpenNearest(std::wstring full, UniqueFile& nearest) {
    for (;;) {
        nearest = OpenResolved(full);
        if (nearest) return {};
        const DWORD error = ::GetLastError();
        const std::wstring folder = FolderOf(full);
        const bool missing = error == ERROR_FILE_NOT_FOUND || error == ERROR_PATH_NOT_FOUND;
        if (!missing || folder == full) return Error(error);
        full = folder;
    }
}

// The folder above, in the system's own naming ("\??\E:\a" above "\??\E:\a\b",
// "\Device\HarddiskVolume2\" above "\Device\HarddiskVolume2\a"); nothing above a volume's root.
std::optional<std::wstring> SystemParent(const std::wstring& path) {
    const size_t volumeEnd = path.find(L'\\', path.find(L'\\', 1) + 1);
    if (volumeEnd == std::wstring::npos || volumeEnd + 1 >= path.size()) return std::nullopt;
    const size_t last = path.find_last_of(L'\\');
    return path.substr(0, last == volumeEnd ? last + 1 : last);
}

// A system name as CreateFileW takes it.
std::wstring Openable(const std::wstring& systemPath) {
    if (systemPath.starts_with(kDosDevices)) {
        return std::wstring(kLongPrefix) + systemPath.substr(kDosDevices.size());
    }
    return L"\\\\?\\GLOBALROOT" + systemPath;
}

// Why the folder opened as source may not be copied to destination, or nothing. The
// destination's nearest existing entry and every folder above it, as the system names them once
// links are resolved, are compared with the source by identity (volume and file number), so that
// neither a link nor a short name nor another drive letter hides the source among them.
std::error_code CheckDestination(HANDLE source, const std::wstring& destination) {
    const auto sourceId = IdOf(source);
    if (!sourceId) return LastError();
    UniqueFile nearest;
    if (auto error = OpenNearest(destination, nearest)) return error;
    auto systemPath = SystemPath(nearest.Get());
    if (!systemPath) return LastError();
    for (UniqueFile folder = std::move(nearest);;) {
        // A folder above that cannot be opened is none that the source could be opened as.
        if (folder && IdOf(folder.Get()) == sourceId) return VelquorError::DestinationInsideSource;
        systemPath = SystemParent(*systemPath);
        if (!systemPath) return {};
        folder = OpenResolved(Openable(*systemPath));
    }
}

// Copies a tree as the walk meets it: files at once, each folder's attributes and times once
// its contents are in (a read-only folder must not keep them out).
class TreeCopy final : public TreeWalk::Visitor {
public:
    TreeCopy(std::wstring destination, bool overwrite, CopyRun& run, const BetweenItems& between,
             TreeReport& report)
        : destination_(std::move(destination)),
          overwrite_(overwrite),
          run_(run),
          between_(between),
          report_(report) {}

    DWORD Access(bool) const override { return kReadAccess; }

    // A link, or an entry that the system opened elsewhere (Wine follows Unix symlinks), is
    // not followed: it can lead back into the tree, or out of the stick.
    void Meet(const Location& item, Found found, OpenedEntry entry) override {
        if (found != Found::File) {
            report_.Add(item.plain, WhyNotItself(found));
        } else if (auto error = CopyOpenedFile(entry.handle.Get(), TargetOf(item), overwrite_,
                                               run_, between_, levels_.back().id.volume)) {
            report_.Add(item.plain, error);
        }
        CallBetween(between_);
    }

    bool Enter(const TreeWalk::Folder& folder, const OpenedEntry& entry) override {
        const bool top = levels_.empty();
        Level level{top ? destination_ : TargetOf(folder.at), {}, {}};
        std::error_code error;
        if (top) error = CheckDestination(entry.handle.Get(), destination_);
        if (!error && !::GetFileInformationByHandleEx(entry.handle.Get(), FileBasicInfo,
                                                      &level.basics, sizeof level.basics)) {
            error = LastError();
        }
        if (!error) error = EnsureFolder(level.target, run_, level.id);
        if (error) {
            report_.Add(folder.at.plain, error);
            return false;
        }
        levels_.push_back(std::move(level));
        return true;
    }

    void Leave(const TreeWalk::Folder& done) override {
        const Level level = std::move(levels_.back());
        levels_.pop_back();
        if (auto error = ApplyBasics(level)) report_.Add(done.at.plain, error);
        CallBetween(between_);
    }

    void Failed(const std::wstring& plain, std::error_code error) override {
        report_.Add(plain, error);
    }

private:
    struct Level {
        std::wstring target;    // the copy of the folder
        FILE_BASIC_INFO basics;  // the source folder's attributes and times
        EntryId id;              // the copy's
    };

    std::wstring TargetOf(const Location& item) const {
        return Join(levels_.back().target, LastComponent(item.full));
    }

    static std::error_code ApplyBasics(const Level& level) {
        const UniqueFile target{::CreateFileW(level.target.c_str(), FILE_WRITE_ATTRIBUTES,
                                              kShareAll, nullptr, OPEN_EXISTING,
                                              FILE_FLAG_BACKUP_SEMANTICS, nullptr)};
        FILE_BASIC_INFO basics{};
        basics.CreationTime = level.basics.CreationTime;
        basics.LastWriteTime = level.basics.LastWriteTime;
        basics.FileAttributes = level.basics.FileAttributes & ~FILE_ATTRIBUTE_DIRECTORY;
        if (basics.FileAttributes == 0) basics.FileAttributes = FILE_ATTRIBUTE_NORMAL;
        if (!target ||
            !::SetFileInformationByHandle(target.Get(), FileBasicInfo, &basics, sizeof basics)) {
            return LastError();
        }
        return {};
    }

    const std::wstring destination_;
    const bool overwrite_;
    CopyRun& run_;
    const BetweenItems& between_;
    TreeReport& report_;
    std::vector<Level> levels_;  // one for each folder being copied
};

}  // namespace

// The bytes go to a temporary file beside the target, which takes the target's place only once
// complete: a copy that fails leaves an earlier target as it was, and no partial file.
std::error_code CopyOpenedFile(HANDLE source, const std::wstring& target, bool overwrite,
                               CopyRun& run, const BetweenItems& between,
                               std::optional<std::uint64_t> folderVolume) {
    TempFile copy;
    if (auto error = copy.Create(FolderOf(target))) return error;
    const auto written = folderVolume ? IdOnVolume(copy.Handle(), *folderVolume) : IdOf(copy.Handle());
    std::error_code error = written ? CopyBytes(source, copy.Handle(), between) : LastError();
    if (!error) error = CopyBasics(source, copy.Handle());
    if (!error) error = PutInPlace(source, copy, target, overwrite, run);
    if (error) {
        copy.Discard();
        return error;
    }
    run.Wrote(*written);
    return copy.Close();
}

void CopyTree(const Location& source, ListedEntry opened, const std::wstring& target,
              bool overwrite, CopyRun& run, const BetweenItems& between, TreeReport& report) {
    TreeCopy copy(target, overwrite, run, between, report);
    TreeWalk(copy).Run(source, std::move(opened));
}

}  // namespace win32
