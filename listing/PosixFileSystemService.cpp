#include "listing/PosixFileSystemService.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <cwchar>
#include <ctime>
#include <cwctype>
#include <filesystem>
#include <memory>
#include <string_view>

#include "listing/PathText.h"
#include "listing/Unique.h"
#include "listing/VelquorError.h"

namespace {

struct FdTraits {
    using Type = int;
    static int Invalid() { return -1; }
    static void Close(int fd) { ::close(fd); }
};
using UniqueFd = Unique<FdTraits>;

struct DirTraits {
    using Type = DIR*;
    static DIR* Invalid() { return nullptr; }
    static void Close(DIR* dir) { ::closedir(dir); }
};
using UniqueDir = Unique<DirTraits>;

constexpr std::wstring_view kFileTypeWord = L"Archivo";
constexpr std::size_t kCopyChunk = 256 * 1024;

std::error_code LastError() { return {errno, std::generic_category()}; }

std::error_code Failure(std::errc code) { return std::make_error_code(code); }

// Host names need not be UTF-8: a byte that is not part of a valid sequence becomes
// U+DC80..U+DCFF and goes back out as the same byte, so any name can still be reached.
constexpr char32_t kEscapeBase = 0xDC00;

bool IsSurrogate(char32_t point) { return point >= 0xD800 && point <= 0xDFFF; }

std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The code point that bytes (one whole sequence) spell, or nullopt for an invalid sequence.
std::optional<char32_t> DecodeSequence(std::string_view bytes) {
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t point = static_cast<unsigned char>(bytes[0]) & kLeadMask[bytes.size()];
    for (const char byte : bytes.substr(1)) {
        const auto bits = static_cast<unsigned char>(byte);
        if ((bits & 0xC0) != 0x80) return std::nullopt;
        point = (point << 6) | (bits & 0x3F);
    }
    if (point < kSmallest[bytes.size()] || point > 0x10FFFF || IsSurrogate(point)) {
        return std::nullopt;
    }
    return point;
}

std::wstring ToWide(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = SequenceLength(lead);
        std::optional<char32_t> point;
        if (length != 0 && at + length <= text.size()) {
            point = DecodeSequence(text.substr(at, length));
        }
        wide.push_back(static_cast<wchar_t>(point ? *point : kEscapeBase + lead));
        at += point ? length : 1;
    }
    return wide;
}

void AppendUtf8(std::string& text, char32_t point) {
    if (point < 0x80) {
        text.push_back(static_cast<char>(point));
        return;
    }
    static constexpr unsigned char kLeadBits[] = {0, 0, 0xC0, 0xE0, 0xF0};
    const int length = point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
    text.push_back(static_cast<char>(kLeadBits[length] | (point >> (6 * (length - 1)))));
    for (int shift = 6 * (length - 2); shift >= 0; shift -= 6) {
        text.push_back(static_cast<char>(0x80 | ((point >> shift) & 0x3F)));
    }
}

std::string ToUtf8(std::wstring_view wide) {
    std::string text;
    text.reserve(wide.size());
    for (const wchar_t unit : wide) {
        char32_t point = static_cast<char32_t>(unit);
        if (point >= kEscapeBase + 0x80 && point <= kEscapeBase + 0xFF) {
            text.push_back(static_cast<char>(point - kEscapeBase));
            continue;
        }
        if (point > 0x10FFFF || IsSurrogate(point)) point = 0xFFFD;
        AppendUtf8(text, point);
    }
    return text;
}

bool IsSeparator(wchar_t c) { return c == L'\\' || c == L'/'; }

bool SameDrive(std::wstring_view a, std::wstring_view b) {
    return a.size() == 2 && b.size() == 2 && a[1] == L':' && b[1] == L':' &&
           std::towupper(static_cast<std::wint_t>(a[0])) ==
               std::towupper(static_cast<std::wint_t>(b[0]));
}

const DriveMapping* FindDrive(const std::vector<DriveMapping>& drives, std::wstring_view drive) {
    const auto found = std::find_if(drives.begin(), drives.end(), [drive](const DriveMapping& d) {
        return SameDrive(d.drive, drive);
    });
    return found == drives.end() ? nullptr : &*found;
}

// The host path behind a drive-form path; nullopt when it names no known drive, is relative to
// the drive ("E:x") or climbs with "." or ".." (which could leave the drive's folder).
std::optional<std::string> HostPath(const std::vector<DriveMapping>& drives,
                                    std::wstring_view path) {
    const DriveMapping* drive = FindDrive(drives, path.substr(0, 2));
    if (!drive) return std::nullopt;
    const std::wstring_view rest = path.substr(2);
    if (!rest.empty() && !IsSeparator(rest.front())) return std::nullopt;
    std::string host = drive->folder;
    std::size_t start = 0;
    while (start < rest.size()) {
        const std::size_t end = std::min(rest.find_first_of(L"\\/", start), rest.size());
        const std::wstring_view part = rest.substr(start, end - start);
        if (part == L"." || part == L"..") return std::nullopt;
        if (!part.empty()) host.append("/").append(ToUtf8(part));
        start = end + 1;
    }
    return host;
}

bool IsDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

// Calls visit for each entry but "." and ".."; an empty folder is not an error, a broken read is.
template <class Visit> std::error_code ForEachEntry(DIR* dir, Visit visit) {
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) return errno == 0 ? std::error_code{} : LastError();
        if (!IsDotOrDotDot(entry->d_name)) visit(*entry);
    }
}

// The names in a folder, read in full before anything in it is changed. On a broken read the
// names read so far are kept.
std::error_code ReadNames(const std::string& folder, std::vector<std::string>& names) {
    UniqueDir dir{::opendir(folder.c_str())};
    if (!dir) return LastError();
    return ForEachEntry(dir.Get(),
                        [&names](const dirent& entry) { names.emplace_back(entry.d_name); });
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

bool IsReadOnly(const struct stat& facts) { return (facts.st_mode & S_IWUSR) == 0; }

// Read-only entries go only with force, which first gives the owner's write bit back. Linux
// gives every link all bits, so a link is never read-only and chmod never reaches a target.
std::error_code MakeDeletable(const std::string& host, const struct stat& facts, bool force) {
    if (!IsReadOnly(facts)) return {};
    if (!force) return Failure(std::errc::permission_denied);
    return ::chmod(host.c_str(), (facts.st_mode & 07777) | S_IWUSR) == 0 ? std::error_code{}
                                                                         : LastError();
}

// Removes a file or a link (never its target).
std::error_code RemoveNonFolder(const std::string& host, const struct stat& facts, bool force) {
    if (auto ec = MakeDeletable(host, facts, force)) return ec;
    return ::unlink(host.c_str()) == 0 ? std::error_code{} : LastError();
}

void DeleteEntry(const std::string& host, const std::wstring& shown, bool force,
                 TreeReport& report);

// Deletes a real folder (not a link) with everything below it. A read-only folder that may not
// go is one failure; what is inside it is left as it is.
void DeleteTree(const std::string& folder, const struct stat& facts, const std::wstring& shown,
                bool force, TreeReport& report) {
    if (auto ec = MakeDeletable(folder, facts, force)) {
        report.Add(shown, ec);
        return;
    }
    const std::size_t failedBefore = report.failures.size();
    std::vector<std::string> names;
    if (auto ec = ReadNames(folder, names)) report.Add(shown, ec);
    for (const std::string& name : names) {
        DeleteEntry(folder + '/' + name, shown + L'\\' + ToWide(name), force, report);
    }
    // A folder that kept something would only fail again as "not empty".
    if (report.failures.size() == failedBefore && ::rmdir(folder.c_str()) != 0) {
        report.Add(shown, LastError());
    }
}

void DeleteEntry(const std::string& host, const std::wstring& shown, bool force,
                 TreeReport& report) {
    struct stat facts {};
    if (::lstat(host.c_str(), &facts) != 0) {
        report.Add(shown, LastError());
    } else if (S_ISDIR(facts.st_mode)) {
        DeleteTree(host, facts, shown, force, report);
    } else if (auto ec = RemoveNonFolder(host, facts, force)) {
        report.Add(shown, ec);
    }
}

std::error_code WriteAll(int fd, const char* data, std::size_t size) {
    while (size > 0) {
        const ssize_t written = ::write(fd, data, size);
        if (written < 0 && errno == EINTR) continue;
        if (written < 0) return LastError();
        data += written;
        size -= static_cast<std::size_t>(written);
    }
    return {};
}

std::error_code CopyBytes(int from, int to) {
    const auto buffer = std::make_unique_for_overwrite<char[]>(kCopyChunk);
    for (;;) {
        const ssize_t got = ::read(from, buffer.get(), kCopyChunk);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return LastError();
        if (got == 0) return {};
        if (auto ec = WriteAll(to, buffer.get(), static_cast<std::size_t>(got))) return ec;
    }
}

std::error_code NotARegularFile(const struct stat& facts) {
    return Failure(S_ISDIR(facts.st_mode) ? std::errc::is_a_directory
                                          : std::errc::operation_not_supported);
}

// Why an existing target may not be replaced by a copy of source, or nothing. A link as target
// is removed, so a copy never writes through it.
std::error_code PrepareTarget(const std::string& to, const struct stat& source, bool overwrite) {
    struct stat target {};
    if (::lstat(to.c_str(), &target) != 0) return errno == ENOENT ? std::error_code{} : LastError();
    if (!overwrite) return Failure(std::errc::file_exists);
    if (S_ISLNK(target.st_mode)) return ::unlink(to.c_str()) == 0 ? std::error_code{} : LastError();
    if (!S_ISREG(target.st_mode)) return NotARegularFile(target);
    if (IsReadOnly(target)) return Failure(std::errc::permission_denied);
    // Truncating the target would destroy the very bytes about to be copied.
    if (target.st_dev == source.st_dev && target.st_ino == source.st_ino) {
        return Failure(std::errc::invalid_argument);
    }
    return {};
}

// Copies the bytes and mode of one regular file. Non-blocking open so a FIFO cannot hang us.
std::error_code CopyRegularFile(const std::string& from, const std::string& to, bool overwrite) {
    UniqueFd source{::open(from.c_str(), O_RDONLY | O_NONBLOCK | O_CLOEXEC)};
    if (!source) return LastError();
    struct stat facts {};
    if (::fstat(source.Get(), &facts) != 0) return LastError();
    if (!S_ISREG(facts.st_mode)) return NotARegularFile(facts);
    if (auto ec = PrepareTarget(to, facts, overwrite)) return ec;
    const mode_t mode = facts.st_mode & 07777;
    const int flags = O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW | O_CLOEXEC;
    UniqueFd target{::open(to.c_str(), overwrite ? flags : flags | O_EXCL, mode)};
    if (!target) return LastError();
    std::error_code ec = CopyBytes(source.Get(), target.Get());
    // The umask, or an older target, must not decide the copy's mode.
    if (!ec && ::fchmod(target.Get(), mode) != 0) ec = LastError();
    if (ec) ::unlink(to.c_str());
    return ec;
}

// Why the folder at from cannot be copied to to, or nothing. Letters compare without regard to
// case, which errs on the safe side on case-sensitive hosts and is right on FAT sticks.
std::error_code CheckFolderCopy(const std::string& from, const std::string& to) {
    std::error_code ec;
    const auto source = std::filesystem::canonical(from, ec);
    if (ec) return ec;
    if (!std::filesystem::is_directory(source, ec)) {
        return ec ? ec : Failure(std::errc::not_a_directory);
    }
    const auto target = std::filesystem::weakly_canonical(to, ec);
    if (ec) return ec;
    if (IsSameOrInside(ToWide(source.native()), ToWide(target.native()))) {
        return VelquorError::DestinationInsideSource;
    }
    return {};
}

// Creates the folder, or accepts one that is already there.
std::error_code MakeFolder(const std::string& folder) {
    if (::mkdir(folder.c_str(), 0777) == 0) return {};
    if (errno != EEXIST) return LastError();
    struct stat facts {};
    if (::stat(folder.c_str(), &facts) == 0 && S_ISDIR(facts.st_mode)) return {};
    return Failure(std::errc::file_exists);
}

void CopyEntry(const std::string& from, const std::string& to, const std::wstring& shown,
               bool overwrite, TreeReport& report);

// Folder modes are not copied: a read-only source folder must not stop its own contents from
// being written into the copy.
void CopyTree(const std::string& from, const std::string& to, const std::wstring& shown,
              bool overwrite, TreeReport& report) {
    if (auto ec = MakeFolder(to)) {
        report.Add(shown, ec);
        return;
    }
    std::vector<std::string> names;
    if (auto ec = ReadNames(from, names)) report.Add(shown, ec);
    for (const std::string& name : names) {
        CopyEntry(from + '/' + name, to + '/' + name, shown + L'\\' + ToWide(name), overwrite,
                  report);
    }
}

void CopyEntry(const std::string& from, const std::string& to, const std::wstring& shown,
               bool overwrite, TreeReport& report) {
    struct stat facts {};
    if (::lstat(from.c_str(), &facts) != 0) {
        report.Add(shown, LastError());
    } else if (S_ISLNK(facts.st_mode)) {
        report.Add(shown, VelquorError::LinkNotFollowed);
    } else if (S_ISDIR(facts.st_mode)) {
        CopyTree(from, to, shown, overwrite, report);
    } else if (auto ec = CopyRegularFile(from, to, overwrite)) {
        report.Add(shown, ec);
    }
}

}  // namespace

PosixFileSystemService::PosixFileSystemService(std::vector<DriveMapping> drives)
    : drives_(std::move(drives)) {}

std::vector<std::wstring> PosixFileSystemService::Drives() {
    std::vector<std::wstring> letters;
    for (const DriveMapping& drive : drives_) letters.push_back(drive.drive);
    return letters;
}

bool PosixFileSystemService::IsReady(const std::wstring& drive) {
    const DriveMapping* mapping = FindDrive(drives_, drive);
    return mapping && UniqueDir{::opendir(mapping->folder.c_str())};
}

DriveKind PosixFileSystemService::DriveType(const std::wstring& drive) {
    const DriveMapping* mapping = FindDrive(drives_, drive);
    return mapping ? mapping->type : DriveKind::Unknown;
}

std::error_code PosixFileSystemService::ForEachRootEntry(const std::wstring& drive,
                                                        const RootVisitor& visit) {
    const DriveMapping* mapping = FindDrive(drives_, drive);
    if (!mapping) return VelquorError::NotADrivePath;
    UniqueDir dir{::opendir(mapping->folder.c_str())};
    if (!dir) return LastError();
    return ForEachEntry(dir.Get(), [&](const dirent& entry) {
        visit(mapping->drive + L'\\' + ToWide(entry.d_name), IsFolderEntry(dir.Get(), entry));
    });
}

// Links are followed, except that a broken link still counts as a file, as in the root listing.
bool PosixFileSystemService::FileExists(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    return facts && !IsFolder(*facts);
}

bool PosixFileSystemService::FolderExists(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    return facts && IsFolder(*facts);
}

// Host lookups here are by exact name, so the spelling asked for is the spelling on disk.
std::optional<std::wstring> PosixFileSystemService::Name(const std::wstring& path) {
    if (!FactsOf(drives_, path)) return std::nullopt;
    return std::wstring(LastComponent(path));
}

std::optional<std::uint64_t> PosixFileSystemService::FileSize(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    if (!facts || IsFolder(*facts)) return std::nullopt;
    return facts->stx_size;
}

// Not every file system records a birth time; the last write is the nearest it has.
std::optional<LocalDateTime> PosixFileSystemService::DateCreated(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    if (!facts) return std::nullopt;
    const bool hasBirth = (facts->stx_mask & STATX_BTIME) != 0;
    const std::time_t seconds = hasBirth ? facts->stx_btime.tv_sec : facts->stx_mtime.tv_sec;
    std::tm local{};
    if (!::localtime_r(&seconds, &local)) return std::nullopt;
    return LocalDateTime{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday,
                         local.tm_hour,        local.tm_min,     local.tm_sec};
}

std::optional<std::wstring> PosixFileSystemService::TypeName(const std::wstring& path) {
    const auto facts = FactsOf(drives_, path);
    if (!facts || IsFolder(*facts)) return std::nullopt;
    return TypeNameOf(LastComponent(path));
}

std::error_code PosixFileSystemService::CopyFile(const std::wstring& source,
                                                 const std::wstring& destination, bool overwrite) {
    const auto from = HostPath(drives_, source);
    const auto to = HostPath(drives_, destination);
    if (!from || !to) return VelquorError::NotADrivePath;
    return CopyRegularFile(*from, *to, overwrite);
}

TreeReport PosixFileSystemService::CopyFolder(const std::wstring& source,
                                              const std::wstring& destination, bool overwrite) {
    TreeReport report;
    const auto from = HostPath(drives_, source);
    const auto to = HostPath(drives_, destination);
    if (!from || !to) {
        report.Add(from ? destination : source, VelquorError::NotADrivePath);
    } else if (auto ec = CheckFolderCopy(*from, *to)) {
        report.Add(source, ec);
    } else {
        // As any entry of the tree: a source that is itself a link is reported, not followed.
        CopyEntry(*from, *to, source, overwrite, report);
    }
    return report;
}

std::error_code PosixFileSystemService::DeleteFile(const std::wstring& path, bool force) {
    const auto host = HostPath(drives_, path);
    if (!host) return VelquorError::NotADrivePath;
    struct stat facts {};
    if (::lstat(host->c_str(), &facts) != 0) return LastError();
    if (S_ISDIR(facts.st_mode)) return Failure(std::errc::is_a_directory);
    return RemoveNonFolder(*host, facts, force);
}

// A path that is itself a link to a folder loses the link only.
TreeReport PosixFileSystemService::DeleteFolder(const std::wstring& path, bool force,
                                                const BetweenItems& between) {
    TreeReport report;
    const auto host = HostPath(drives_, path);
    struct stat target {};
    struct stat entry {};
    if (!host) {
        report.Add(path, VelquorError::NotADrivePath);
    } else if (::stat(host->c_str(), &target) != 0 || ::lstat(host->c_str(), &entry) != 0) {
        report.Add(path, LastError());
    } else if (!S_ISDIR(target.st_mode)) {
        report.Add(path, Failure(std::errc::not_a_directory));
    } else if (S_ISLNK(entry.st_mode)) {
        if (::unlink(host->c_str()) != 0) report.Add(path, LastError());
    } else {
        if (between) between();
        DeleteTree(*host, entry, path, force, report);
    }
    return report;
}
