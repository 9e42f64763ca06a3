#pragma once

#include <dirent.h>
#include <sys/stat.h>
#include <sys/types.h>
#include <unistd.h>

#include <cerrno>
#include <cstdint>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "FileSystemService.h"
#include "Owners.h"
#include "PathText.h"

namespace posix {

// What the POSIX service's walks share: where a folder lies, and one walk through opened folders.

inline std::error_code LastError() { return {errno, std::generic_category()}; }

inline std::error_code Failure(std::errc code) { return std::make_error_code(code); }

// An entry without its owner's write bit counts as read-only, as the Windows attribute does.
inline bool IsReadOnly(mode_t mode) { return (mode & S_IWUSR) == 0; }

// Host names beside the drive's names, which PathText tells apart.
using ::IsDotOrDotDot;
bool IsDotOrDotDot(const char* name);

// Calls visit for each entry but "." and ".."; an empty folder is not an error, a broken read is.
template <class Visit> std::error_code ForEachEntry(DIR* dir, Visit visit) {
    for (;;) {
        errno = 0;
        const dirent* entry = ::readdir(dir);
        if (!entry) return errno == 0 ? std::error_code{} : LastError();
        if (!IsDotOrDotDot(entry->d_name)) visit(*entry);
    }
}

inline EntryId IdOf(const struct stat& facts) {
    return {static_cast<std::uint64_t>(facts.st_dev), static_cast<std::uint64_t>(facts.st_ino)};
}

// The names in a folder opened as fd (which stays open for the caller), read in full before
// anything in it is changed. On a broken read the names read so far are kept.
std::error_code ReadNames(int folder, std::vector<std::string>& names);

// What an entry of folder is, without following it if it is a link.
std::error_code EntryStat(int folder, const std::string& name, struct stat& facts);

// The entry name of folder (AT_FDCWD for a path), a regular file or a folder, opened as itself
// and read-only. A link is refused (VelquorError::LinkNotFollowed), and so is any other kind of
// entry (a device, which opening could set going).
std::error_code OpenAsItself(int folder, const std::string& name, UniqueFd& entry,
                             struct stat& facts);

// Why the folder name of folder would not open as one, as copies and changes report it: a link
// where a folder was listed is VelquorError::LinkNotFollowed.
std::error_code WhyNotEntered(int folder, const std::string& name, std::error_code error);

// Where a folder lives: its identity, and the mount it belongs to, so that a walk can tell when
// it would leave its file system (a bind mount keeps the device number, not the mount id).
struct Place {
    dev_t device = 0;
    ino_t inode = 0;
    std::uint64_t mount = 0;  // 0 where the system gives no mount id

    bool SameMount(const Place& other) const {
        return device == other.device && (mount == 0 || other.mount == 0 || mount == other.mount);
    }
    bool SameEntry(const Place& other) const {
        return device == other.device && inode == other.inode;
    }
};

std::optional<Place> PlaceOf(int fd);

// The folder name inside parent, opened as a folder and never through a link.
UniqueFd OpenFolder(int parent, const std::string& name);

// Walks one folder tree depth first through opened folders: every entry is reached by name from
// the folder it was listed in, never by a path, so an entry swapped for a link meanwhile is met
// as the link it has become. Only the folder being walked is held open (a tree thousands deep
// would run out of descriptors otherwise); the way back up is checked to be the way down
// (VelquorError::TreeMoved ends the walk otherwise). The walk stays on the file system it starts
// on: a mount met inside is left alone and reported (VelquorError::OtherFileSystem).
class TreeWalk {
public:
    // A folder the walk entered.
    struct Folder {
        std::string name;  // in the folder above
        std::wstring shown;
        Place place;
    };

    // What a walk does with what it meets; folder is the opened folder an entry was listed in.
    class Visitor {
    public:
        virtual ~Visitor() = default;
        // A listed entry that is not a folder.
        virtual void Meet(int folder, const std::string& name, const std::wstring& shown,
                          const struct stat& facts) = 0;
        // A listed folder that would not open as one: gone, or swapped for a link or a file.
        virtual void EnterFailed(int folder, const std::string& name, const std::wstring& shown,
                                 std::error_code error) = 0;
        // A folder, opened: true to walk what it holds.
        virtual bool Enter(int opened, const Folder& entered) = 0;
        // Everything in done is walked; parent is the folder above it, both still open.
        virtual void Leave(int parent, int opened, const Folder& done) = 0;
        // Anything else that stopped the walk at an entry.
        virtual void Failed(const std::wstring& shown, std::error_code error) = 0;
    };

    explicit TreeWalk(Visitor& visitor) : visitor_(visitor) {}

    // Walks the folder name inside parent.
    void Run(UniqueFd parent, const std::string& name, const std::wstring& shown);

private:
    struct Level {
        Folder folder;
        std::vector<std::string> pending;  // subfolders not yet visited
    };

    void Descend(const std::string& name, const std::wstring& shown);
    void ReadLevel();
    void Ascend();

    Visitor& visitor_;
    Place start_;
    UniqueFd current_;
    std::vector<Level> levels_;
};

}  // namespace posix
