#pragma once

#include "Win32Api.h"

#include <optional>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#include "FileSystemService.h"
#include "Owners.h"

namespace win32 {

// What the Win32 service's walks share: paths in their long form, entries opened as themselves
// and checked to lie where they were listed, and one walk over a folder tree.

inline constexpr std::wstring_view kLongPrefix = L"\\\\?\\";

// The \\?\ form, free of the 260-character limit, of a full path: a drive path ("E:\x") or a
// UNC path ("\\server\share\x"), with slashes taken as backslashes. The prefix keeps names that
// the system would otherwise bend (devices such as "con", trailing dots or spaces: tricks that
// malware uses to make its folders hard to delete) reachable. Relative paths and "." or ".."
// parts are refused rather than resolved, as the drive's own form never has them.
std::optional<std::wstring> LongPath(std::wstring path);

std::wstring Join(std::wstring_view folder, std::wstring_view name);

// The folder that holds a path of the long form, a root with its backslash ("\\?\E:\").
std::wstring FolderOf(const std::wstring& full);

// One entry in both forms: `plain` as the caller spells it, for reports; `full` for the API.
struct Location {
    std::wstring plain;
    std::wstring full;

    Location Child(std::wstring_view name) const { return {Join(plain, name), Join(full, name)}; }
};

std::optional<Location> Locate(const std::wstring& path);

inline bool IsFolder(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// Junctions and symbolic links (and, under Wine, Unix symlinks to folders): never walked through.
inline bool IsLink(DWORD attributes) {
    return (attributes & FILE_ATTRIBUTE_REPARSE_POINT) != 0;
}

// Entries are opened as themselves, never as what a link leads to, and the handle serves every
// step after: what is read, changed or deleted is what was opened.
inline constexpr DWORD kOpenAsItself = FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS;
inline constexpr DWORD kShareAll = FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE;
inline constexpr DWORD kDeleteAccess =
    DELETE | FILE_READ_ATTRIBUTES | FILE_WRITE_ATTRIBUTES | SYNCHRONIZE;

// An opened entry, with what the handle says of it.
struct OpenedEntry {
    UniqueFile handle;
    DWORD attributes = 0;
    // The system's own name of what was opened. Wine opens a Unix symlink's target even when
    // asked for the link, and shows a file symlink as a plain file: only this name gives it away.
    std::wstring systemPath;
};

// The name the system gives what the handle refers to ("\??\E:\x" under Wine,
// "\Device\HarddiskVolume2\x" on Windows), at any length, with links resolved.
std::optional<std::wstring> SystemPath(HANDLE handle);

std::error_code Open(const std::wstring& full, DWORD access, OpenedEntry& entry);

// What makes the opened entry itself: its volume's serial number and its file number.
std::optional<EntryId> IdOf(HANDLE handle);
// The same for an entry whose volume is known: only its number is asked, as Wine takes longer to
// tell a volume's serial number than to copy a small file.
std::optional<EntryId> IdOnVolume(HANDLE handle, std::uint64_t volume);

// Gives the opened entry these attributes (what it is, folder or link, aside).
bool WriteAttributes(HANDLE handle, DWORD attributes);

// Marks the opened entry to go when its handle closes. A read-only entry goes only with force,
// which clears the attribute through the handle, and sets it again if the entry still stays.
std::error_code Dispose(const OpenedEntry& entry, bool force);

// Where a listed entry lies: its folder, as the system names it and in full, and its name.
struct Expected {
    std::wstring systemFolder;
    std::wstring fullFolder;
    std::wstring name;
};

// What an opened entry turned out to be. Elsewhere: not where it was listed, a link the system
// followed (Wine shows a Unix link to a file as that file). NotByItsName: where it was listed, but
// under a name the system cut short, so it may be a sibling (Wine drops trailing dots and spaces).
enum class Found { Elsewhere, NotByItsName, Link, Folder, File };

Found Classify(const OpenedEntry& entry, const Expected& expected);

// Why an entry found as anything but a plain file or folder is not acted on.
std::error_code WhyNotItself(Found found);
// Why an entry found where a file is wanted is not acted on; nothing for a plain file.
std::error_code WhyNotAFile(Found found);

// An entry opened as itself, and where it should lie.
struct ListedEntry {
    OpenedEntry entry;
    Expected expected;
};

// Opens the entry at full (long form) as itself, then its folder, to know where it should lie.
std::error_code OpenListed(const std::wstring& full, DWORD access, ListedEntry& opened);

// Walks a folder tree depth first, level by level from an explicit stack (a tree thousands deep
// cannot overflow it). Every entry is opened as itself and checked to lie where its folder's
// listing put it before the visitor sees it; only what the listing calls a folder, and is no
// link, is entered.
class TreeWalk {
public:
    // A folder the walk entered.
    struct Folder {
        Location at;
        Expected place;  // where it should lie
        std::wstring systemPath;
    };

    class Visitor {
    public:
        virtual ~Visitor() = default;
        // The access to open an entry with; a folder's must let it be listed.
        virtual DWORD Access(bool folder) const = 0;
        // A file, a link, or an entry found elsewhere than where it was listed.
        virtual void Meet(const Location& item, Found found, OpenedEntry entry) = 0;
        // A folder, opened: true to walk what it holds.
        virtual bool Enter(const Folder& folder, const OpenedEntry& entry) = 0;
        // Everything in the folder is walked.
        virtual void Leave(const Folder& done) = 0;
        // An entry that would not open, or that changed kind, or a listing that broke off.
        virtual void Failed(const std::wstring& plain, std::error_code error) = 0;
    };

    explicit TreeWalk(Visitor& visitor) : visitor_(visitor) {}

    // Walks from an entry opened as itself with a folder's access.
    void Run(const Location& top, ListedEntry opened);

private:
    struct Level {
        Folder folder;
        std::vector<std::wstring> pending;  // subfolders not yet visited
    };

    void Visit(const Location& item, const Expected& expected, bool folder);
    void Dispatch(const Location& item, const Expected& expected, OpenedEntry opened,
                  bool openedAsFolder);
    void Enter(const Location& item, const Expected& place, const OpenedEntry& opened);

    Visitor& visitor_;
    std::vector<Level> levels_;
};

}  // namespace win32
