#include "PosixFileSystemService.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cwchar>
#include <ctime>
#include <cwctype>
#include <string_view>

#include "PathText.h"
#include "Attributes.h"
#include "FileBytesReader.h"
#include "FileCopy.h"
#include "Names.h"
#include "TreeWalk.h"
#include "VelquorError.h"

namespace posix {

namespace {

constexpr std::wstring_view kFileTypeWord = L"Archivo";

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

const DriveMapping* FindDrive(const std::vector<DriveMapping>& drives, std::wstring_view text) {
    const auto drive = DriveOf(text);
    if (!drive) return nullptr;
    const auto found = std::find_if(drives.begin(), drives.end(), [&](const DriveMapping& d) {
        return std::towupper(static_cast<std::wint_t>(d.drive[0])) ==
               std::towupper(static_cast<std::wint_t>((*drive)[0]));
    });
    return found == drives.end() ? nullptr : &*found;
}

// The host names of the components of a drive-form path below its drive ("Fotos", "a.jpg" of
// "E:\\Fotos\\a.jpg"); nullopt when the path is relative to the drive ("E:x") or climbs with "." or
// ".." (which could leave the drive's folder).
std::optional<std::vector<std::string>> PartsBelowDrive(std::wstring_view path) {
    const std::wstring_view rest = path.substr(2);
    if (!rest.empty() && !IsSeparator(rest.front())) return std::nullopt;
    std::vector<std::string> parts;
    std::size_t start = 0;
    while (start < rest.size()) {
        const std::size_t end = std::min(rest.find_first_of(L"\\/", start), rest.size());
        const std::wstring_view part = rest.substr(start, end - start);
        if (IsDotOrDotDot(part)) return std::nullopt;
        if (!part.empty()) parts.push_back(ToUtf8(part));
        start = end + 1;
    }
    return parts;
}

// The host path behind a drive-form path; nullopt when it names no known drive or has no parts.
std::optional<std::string> HostPath(const std::vector<DriveMapping>& drives,
                                    std::wstring_view path) {
    const DriveMapping* drive = FindDrive(drives, path.substr(0, 2));
    const auto parts = drive ? PartsBelowDrive(path) : std::nullopt;
    if (!parts) return std::nullopt;
    std::string host = drive->folder;
    for (const std::string& part : *parts) host.append("/").append(part);
    return host;
}

// The facts of an entry: its target's when it is a link that resolves, its own otherwise, so a
// broken link is still an entry (a file) as the root listing shows it.
std::optional<struct statx> EntryFacts(int dirFd, const char* path) {
    constexpr unsigned kWanted = STATX_TYPE | STATX_MODE | STATX_SIZE | STATX_BTIME | STATX_MTIME;
    struct statx facts {};
    for (const int flags : {0, AT_SYMLINK_NOFOLLOW}) {
        if (::statx(dirFd, path, flags, kWanted, &facts) == 0) return facts;
    }
    return std::nullopt;
}

std::optional<struct statx> FactsOf(const std::vector<DriveMapping>& drives,
                                    const std::wstring& path) {
    const auto host = HostPath(drives, path);
    if (!host) return std::nullopt;
    return EntryFacts(AT_FDCWD, host->c_str());
}

bool IsFolder(const struct statx& facts) { return S_ISDIR(facts.stx_mode); }

bool IsFolderEntry(DIR* dir, const dirent& entry) {
    if (entry.d_type == DT_DIR || entry.d_type == DT_REG) return entry.d_type == DT_DIR;
    const auto facts = EntryFacts(::dirfd(dir), entry.d_name);
    return facts && IsFolder(*facts);
}

// An entry's attributes as the listing gives them: the folder bit as a link leads, the rest as
// the entry keeps them; a link, or an entry that will not open, has its folder bit alone.
Attributes ListedAttributes(DIR* dir, const dirent& entry) {
    const Attributes folder = IsFolderEntry(dir, entry) ? attributes::kFolder : 0;
    UniqueFd opened;
    struct stat facts {};
    Attributes kept = 0;
    if (OpenAsItself(::dirfd(dir), entry.d_name, opened, facts) || ReadAttributes(opened.Get(), facts, kept)) return folder;
    return (kept & ~attributes::kFolder) | folder;
}

std::wstring TypeNameOf(std::wstring_view name) {
    const std::size_t dot = name.rfind(L'.');
    std::wstring text(kFileTypeWord);
    if (dot == std::wstring_view::npos || dot + 1 == name.size()) return text;
    text.push_back(L' ');
    for (const wchar_t c : name.substr(dot + 1)) {
        text.push_back(static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c))));
    }
    return text;
}
bool LeadsToFolder(int folder, const std::string& name) {
    struct stat target {};
    return ::fstatat(folder, name.c_str(), &target, 0) == 0 && S_ISDIR(target.st_mode);
}

// Removes a file or a link in folder, never a link's target. A read-only file goes only with
// force, which gives the owner's write bit back first and takes it away again if the file still
// stays. Linux gives every link all bits, so a link is never read-only and no chmod reaches a
// target (AT_SYMLINK_NOFOLLOW refuses links anyway).
std::error_code RemoveNonFolder(int folder, const std::string& name, const struct stat& facts,
                                bool force) {
    const bool readOnly = IsReadOnly(facts.st_mode);
    const mode_t mode = facts.st_mode & 07777;
    if (readOnly && !force) return Failure(std::errc::permission_denied);
    if (readOnly && ::fchmodat(folder, name.c_str(), mode | S_IWUSR, AT_SYMLINK_NOFOLLOW) != 0) {
        return LastError();
    }
    if (::unlinkat(folder, name.c_str(), 0) == 0) return {};
    const std::error_code error = LastError();
    if (readOnly) ::fchmodat(folder, name.c_str(), mode, AT_SYMLINK_NOFOLLOW);
    return error;
}

// Deletes a tree as the walk meets it: files and links at once, each folder once it is empty. A
// folder left holding something that stayed stays too, silently, put back as it was.
class TreeDeletion final : public TreeWalk::Visitor {
public:
    TreeDeletion(bool force, const BetweenItems& between, TreeReport& report)
        : force_(force), between_(between), report_(report) {}

    void Meet(int folder, const std::string& name, const std::wstring& shown,
              const struct stat& facts) override {
        Remove(folder, name, shown, facts);
    }

    // Gone meanwhile, nothing is left to do; swapped for a link or a file, it goes as what it
    // has become.
    void EnterFailed(int folder, const std::string& name, const std::wstring& shown,
                     std::error_code error) override {
        if (error == std::errc::no_such_file_or_directory) return;
        struct stat facts {};
        const bool swapped = error == std::errc::too_many_symbolic_link_levels ||
                             error == std::errc::not_a_directory;
        if (!swapped || EntryStat(folder, name, facts) || S_ISDIR(facts.st_mode)) {
            return Keep(shown, error);
        }
        Remove(folder, name, shown, facts);
    }

    // A read-only folder is emptied only with force, which gives it the owner's write bit.
    bool Enter(int opened, const TreeWalk::Folder& entered) override {
        struct stat facts {};
        if (::fstat(opened, &facts) != 0) return Refuse(entered.shown, LastError());
        const bool readOnly = IsReadOnly(facts.st_mode);
        const mode_t mode = facts.st_mode & 07777;
        if (readOnly && !force_) {
            return Refuse(entered.shown, Failure(std::errc::permission_denied));
        }
        if (readOnly && ::fchmod(opened, mode | S_IWUSR) != 0) {
            return Refuse(entered.shown, LastError());
        }
        levels_.push_back({mode, readOnly, false});
        return true;
    }

    void Leave(int parent, int opened, const TreeWalk::Folder& done) override {
        const Level level = levels_.back();
        levels_.pop_back();
        if (level.kept) {
            if (level.unlocked) ::fchmod(opened, level.mode);
            MarkKept();
        } else if (::unlinkat(parent, done.name.c_str(), AT_REMOVEDIR) != 0) {
            const std::error_code error = LastError();
            if (level.unlocked) ::fchmod(opened, level.mode);
            Keep(done.shown, error);
        } else {
            CallBetween(between_);
        }
    }

    // Gone meanwhile is what deleting wanted.
    void Failed(const std::wstring& shown, std::error_code error) override {
        if (error != std::errc::no_such_file_or_directory) Keep(shown, error);
    }

private:
    struct Level {
        mode_t mode = 0;
        bool unlocked = false;  // force gave the folder its write bit
        bool kept = false;      // something inside stayed, so the folder stays too
    };

    // Something at this level stayed: reported once, and the folders holding it stay silently.
    void Keep(const std::wstring& shown, std::error_code error) {
        report_.Add(shown, error);
        MarkKept();
    }
    void MarkKept() {
        if (!levels_.empty()) levels_.back().kept = true;
    }
    bool Refuse(const std::wstring& shown, std::error_code error) {
        Keep(shown, error);
        return false;
    }

    void Remove(int folder, const std::string& name, const std::wstring& shown,
                const struct stat& facts) {
        const std::error_code error = RemoveNonFolder(folder, name, facts, force_);
        if (!error) {
            CallBetween(between_);
        } else if (error != std::errc::no_such_file_or_directory) {
            Keep(shown, error);
        }
    }

    const bool force_;
    const BetweenItems& between_;
    TreeReport& report_;
    std::vector<Level> levels_;  // one for each folder being emptied
};

// Takes attributes off the entries of a tree as the walk meets them, each folder as it is
// entered. Links keep theirs, and so do their targets: each is reported.
class AttributeClearing final : public TreeWalk::Visitor {
public:
    AttributeClearing(Attributes mask, const BetweenItems& between, AttributeReport& report)
        : mask_(mask), between_(between), report_(report) {}

    void Meet(int folder, const std::string& name, const std::wstring& shown,
              const struct stat&) override {
        UniqueFd entry;
        struct stat facts {};
        if (auto error = OpenAsItself(folder, name, entry, facts)) {
            Failed(shown, error);
        } else {
            Clear(entry.Get(), facts, shown);
        }
        CallBetween(between_);
    }

    void EnterFailed(int folder, const std::string& name, const std::wstring& shown,
                     std::error_code error) override {
        Failed(shown, WhyNotEntered(folder, name, error));
    }

    bool Enter(int opened, const TreeWalk::Folder& entered) override {
        struct stat facts {};
        if (::fstat(opened, &facts) != 0) {
            Failed(entered.shown, LastError());
        } else {
            Clear(opened, facts, entered.shown);
        }
        return true;
    }

    void Leave(int, int, const TreeWalk::Folder&) override { CallBetween(between_); }

    void Failed(const std::wstring& shown, std::error_code error) override {
        report_.failures.push_back({shown, error});
    }

private:
    void Clear(int fd, const struct stat& facts, const std::wstring& shown) {
        Attributes before = 0;
        if (auto error = ReadAttributes(fd, facts, before)) return Failed(shown, error);
        const Attributes after = before & ~mask_;
        if (after == before) return;
        if (auto error = WriteAttributes(fd, facts, after)) return Failed(shown, error);
        report_.changes.push_back({shown, before, after, IdOf(facts)});
    }

    const Attributes mask_;
    const BetweenItems& between_;
    AttributeReport& report_;
};

// The drive's root folder, opened, and the host name of one entry in it.
struct RootEntry {
    UniqueFd root;
    std::string name;
};

std::error_code OpenRootEntry(const std::vector<DriveMapping>& drives, const std::wstring& path,
                              RootEntry& entry) {
    const auto name = RootEntryName(path);
    if (!name) return VelquorError::NotARootEntry;
    const DriveMapping* drive = FindDrive(drives, path.substr(0, 2));
    if (!drive) return VelquorError::NotADrivePath;
    entry.root = UniqueFd{::open(drive->folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (!entry.root) return LastError();
    entry.name = ToUtf8(*name);
    return {};
}

}  // namespace

FileSystemService::FileSystemService(std::vector<DriveMapping> drives)
    : drives_(std::move(drives)) {}

std::vector<std::wstring> FileSystemService::Drives() {
    std::vector<std::wstring> letters;
    for (const DriveMapping& drive : drives_) letters.push_back(drive.drive);
    return letters;
}

// A drive's device is the host folder behind it, and its type is the table's.
std::optional<std::wstring> FileSystemService::DeviceOf(const std::wstring& drive) {
    const DriveMapping* mapping = FindDrive(drives_, drive);
    if (!mapping) return std::nullopt;
    return ToWide(mapping->folder);
}

DriveKind FileSystemService::DriveType(const std::wstring& drive) {
    const DriveMapping* mapping = FindDrive(drives_, drive);
    return mapping ? mapping->type : DriveKind::Unknown;
}

bool FileSystemService::IsReady(const std::wstring& drive) {
    const DriveMapping* mapping = FindDrive(drives_, drive);
    return mapping && UniqueDir{::opendir(mapping->folder.c_str())};
}

std::optional<VolumeId> FileSystemService::VolumeOf(const std::wstring& drive) {
    const DriveMapping* mapping = FindDrive(drives_, drive);
    struct stat facts {};
    if (!mapping || ::stat(mapping->folder.c_str(), &facts) != 0 || !S_ISDIR(facts.st_mode)) return std::nullopt;
    return VolumeId{static_cast<std::uint32_t>(facts.st_dev), facts.st_ino};
}

std::error_code FileSystemService::ForEachRootEntry(const std::wstring& drive,
                                                        const RootVisitor& visit) {
    const DriveMapping* mapping = FindDrive(drives_, drive);
    if (!mapping) return VelquorError::NotADrivePath;
    UniqueDir dir{::opendir(mapping->folder.c_str())};
    if (!dir) return LastError();
    return ForEachEntry(dir.Get(), [&](const dirent& entry) {
        visit(mapping->drive + L'\\' + ToWide(entry.d_name), ListedAttributes(dir.Get(), entry));
    });
}

// Links are followed, except that a broken link still counts as a file, as in the root listing.
bool FileSystemService::FileExists(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    return facts && !IsFolder(*facts);
}

bool FileSystemService::FolderExists(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    return facts && IsFolder(*facts);
}

// Host lookups here are by exact name, so the spelling asked for is the spelling on disk.
std::optional<std::wstring> FileSystemService::Name(const std::wstring& path) {
    if (!FactsOf(drives_, path)) return std::nullopt;
    return std::wstring(LastComponent(path));
}

std::optional<std::uint64_t> FileSystemService::FileSize(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    if (!facts || IsFolder(*facts)) return std::nullopt;
    return facts->stx_size;
}

// Not every file system records a birth time; the last write is the nearest it has.
std::optional<LocalDateTime> FileSystemService::DateCreated(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    if (!facts) return std::nullopt;
    const bool hasBirth = (facts->stx_mask & STATX_BTIME) != 0;
    const std::time_t seconds = hasBirth ? facts->stx_btime.tv_sec : facts->stx_mtime.tv_sec;
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) return std::nullopt;
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::optional<std::wstring> FileSystemService::TypeName(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    if (!facts || IsFolder(*facts)) return std::nullopt;
    return TypeNameOf(LastComponent(path));
}

std::error_code FileSystemService::ReadFileBytes(const std::wstring& path, std::size_t most, FileBytes& bytes) {
    bytes.clear();
    const auto host = HostPath(drives_, path);
    if (!host) return VelquorError::NotADrivePath;
    return posix::ReadFileBytes(*host, most, bytes);
}

std::error_code FileSystemService::CopyFile(const std::wstring& source,
                                                 const std::wstring& destination, bool overwrite,
                                                 CopyRun& run, const BetweenItems& between) {
    const auto from = HostPath(drives_, source);
    const auto to = HostPath(drives_, destination);
    if (!from || !to) return VelquorError::NotADrivePath;
    return CopyFileAt(AT_FDCWD, *from, *to, overwrite, run, between);
}

TreeReport FileSystemService::CopyFolder(const std::wstring& source,
                                              const std::wstring& destination, bool overwrite,
                                              CopyRun& run, const BetweenItems& between) {
    TreeReport report;
    const auto from = HostPath(drives_, source);
    const auto to = HostPath(drives_, destination);
    if (!from || !to) {
        report.Add(source, VelquorError::NotADrivePath);
    } else {
        CopyTree(*from, *to, source, overwrite, run, between, report);
    }
    return report;
}

std::error_code FileSystemService::DeleteFile(const std::wstring& path, bool force) {
    RootEntry entry;
    if (auto ec = OpenRootEntry(drives_, path, entry)) return ec;
    struct stat facts {};
    if (auto ec = EntryStat(entry.root.Get(), entry.name, facts)) return ec;
    // A link to a folder is what FolderExists calls a folder: DeleteFolder's to remove.
    const bool folderLink = S_ISLNK(facts.st_mode) && LeadsToFolder(entry.root.Get(), entry.name);
    if (S_ISDIR(facts.st_mode) || folderLink) {
        return Failure(std::errc::is_a_directory);
    }
    return RemoveNonFolder(entry.root.Get(), entry.name, facts, force);
}

// A path that is itself a link to a folder loses the link only.
TreeReport FileSystemService::DeleteFolder(const std::wstring& path, bool force,
                                                const BetweenItems& between) {
    TreeReport report;
    RootEntry entry;
    struct stat facts {};
    if (auto ec = OpenRootEntry(drives_, path, entry)) {
        report.Add(path, ec);
    } else if (auto statError = EntryStat(entry.root.Get(), entry.name, facts)) {
        report.Add(path, statError);
    } else if (S_ISLNK(facts.st_mode) && LeadsToFolder(entry.root.Get(), entry.name)) {
        if (auto removeError = RemoveNonFolder(entry.root.Get(), entry.name, facts, force)) {
            report.Add(path, removeError);
        } else {
            CallBetween(between);
        }
    } else if (!S_ISDIR(facts.st_mode)) {
        report.Add(path, Failure(std::errc::not_a_directory));
    } else {
        TreeDeletion deletion(force, between, report);
        TreeWalk(deletion).Run(std::move(entry.root), entry.name, path);
    }
    return report;
}

AttributeReport FileSystemService::ClearAttributes(const std::wstring& path, Attributes mask,
                                                        const BetweenItems& between) {
    AttributeReport report;
    AttributeClearing clearing(mask, between, report);
    RootEntry entry;
    struct stat facts {};
    if (auto error = OpenRootEntry(drives_, path, entry)) {
        clearing.Failed(path, error);
    } else if (auto statError = EntryStat(entry.root.Get(), entry.name, facts)) {
        clearing.Failed(path, statError);
    } else if (S_ISDIR(facts.st_mode)) {
        TreeWalk(clearing).Run(std::move(entry.root), entry.name, path);
    } else {
        clearing.Meet(entry.root.Get(), entry.name, path, facts);
    }
    return report;
}

// Component by component from the drive's root folder, each opened as itself, so that a link put
// anywhere on the way since the clearing is met as the link it is.
std::error_code FileSystemService::RestoreAttributes(const AttributeChange& change) {
    const DriveMapping* drive = FindDrive(drives_, change.path.substr(0, 2));
    const auto parts = drive ? PartsBelowDrive(change.path) : std::nullopt;
    if (!parts || parts->empty()) return VelquorError::NotADrivePath;
    UniqueFd folder{::open(drive->folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (!folder) return LastError();
    for (auto part = parts->begin(); part + 1 != parts->end(); ++part) {
        UniqueFd next = OpenFolder(folder.Get(), *part);
        if (!next) return WhyNotEntered(folder.Get(), *part, LastError());
        folder = std::move(next);
    }
    UniqueFd entry;
    struct stat facts {};
    if (auto error = OpenAsItself(folder.Get(), parts->back(), entry, facts)) return error;
    if (IdOf(facts) != change.id) return VelquorError::NotTheChangedEntry;
    return WriteAttributes(entry.Get(), facts, change.before);
}

}  // namespace posix
