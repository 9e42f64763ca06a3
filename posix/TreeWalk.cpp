#include "TreeWalk.h"

#include <fcntl.h>
#include <sys/sysmacros.h>

#include <cstring>

#include "Names.h"
#include "VelquorError.h"

namespace posix {

bool IsDotOrDotDot(const char* name) {
    return std::strcmp(name, ".") == 0 || std::strcmp(name, "..") == 0;
}

std::error_code ReadNames(int folder, std::vector<std::string>& names) {
    UniqueFd copy{::fcntl(folder, F_DUPFD_CLOEXEC, 0)};
    if (!copy) return LastError();
    const UniqueDir dir{::fdopendir(copy.Get())};
    if (!dir) return LastError();
    copy.Release();  // the stream owns it now
    return ForEachEntry(dir.Get(),
                        [&names](const dirent& entry) { names.emplace_back(entry.d_name); });
}

std::error_code EntryStat(int folder, const std::string& name, struct stat& facts) {
    return ::fstatat(folder, name.c_str(), &facts, AT_SYMLINK_NOFOLLOW) == 0 ? std::error_code{}
                                                                              : LastError();
}

std::error_code OpenAsItself(int folder, const std::string& name, UniqueFd& entry,
                             struct stat& facts) {
    if (auto error = EntryStat(folder, name, facts)) return error;
    if (S_ISLNK(facts.st_mode)) return VelquorError::LinkNotFollowed;
    if (!S_ISREG(facts.st_mode) && !S_ISDIR(facts.st_mode)) {
        return Failure(std::errc::operation_not_supported);
    }
    constexpr int kAsItself = O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC;
    entry = UniqueFd{::openat(folder, name.c_str(), kAsItself)};
    if (!entry) return errno == ELOOP ? VelquorError::LinkNotFollowed : LastError();
    return ::fstat(entry.Get(), &facts) == 0 ? std::error_code{} : LastError();
}

std::error_code WhyNotEntered(int folder, const std::string& name, std::error_code error) {
    // O_NOFOLLOW says ELOOP of a link, or ENOTDIR when a folder was asked for.
    const bool maybeLink = error == std::errc::too_many_symbolic_link_levels ||
                           error == std::errc::not_a_directory;
    struct stat facts {};
    if (maybeLink && !EntryStat(folder, name, facts) && S_ISLNK(facts.st_mode)) {
        return VelquorError::LinkNotFollowed;
    }
    return error;
}

std::optional<Place> PlaceOf(int fd) {
    struct statx facts {};
    if (::statx(fd, "", AT_EMPTY_PATH, STATX_INO | STATX_MNT_ID, &facts) != 0) return std::nullopt;
    const bool hasMount = (facts.stx_mask & STATX_MNT_ID) != 0;
    return Place{makedev(facts.stx_dev_major, facts.stx_dev_minor), facts.stx_ino,
                 hasMount ? facts.stx_mnt_id : 0};
}

UniqueFd OpenFolder(int parent, const std::string& name) {
    return UniqueFd{::openat(parent, name.c_str(),
                             O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC)};
}

void TreeWalk::Run(UniqueFd parent, const std::string& name, const std::wstring& shown) {
    const auto start = PlaceOf(parent.Get());
    if (!start) return visitor_.Failed(shown, LastError());
    start_ = *start;
    current_ = std::move(parent);
    Descend(name, shown);
    while (!levels_.empty()) {
        Level& level = levels_.back();
        if (level.pending.empty()) {
            Ascend();
            continue;
        }
        const std::string child = std::move(level.pending.back());
        level.pending.pop_back();
        Descend(child, level.folder.shown + L'\\' + ToWide(child));
    }
}

void TreeWalk::Descend(const std::string& name, const std::wstring& shown) {
    UniqueFd folder = OpenFolder(current_.Get(), name);
    if (!folder) return visitor_.EnterFailed(current_.Get(), name, shown, LastError());
    const auto place = PlaceOf(folder.Get());
    if (!place) return visitor_.Failed(shown, LastError());
    if (!place->SameMount(start_)) return visitor_.Failed(shown, VelquorError::OtherFileSystem);
    Folder entered{name, shown, *place};
    if (!visitor_.Enter(folder.Get(), entered)) return;
    levels_.push_back({std::move(entered), {}});
    current_ = std::move(folder);
    ReadLevel();
}

// Files and links are met at once; subfolders wait until this level is done.
void TreeWalk::ReadLevel() {
    std::vector<std::string> names;
    if (auto error = ReadNames(current_.Get(), names)) {
        visitor_.Failed(levels_.back().folder.shown, error);
    }
    for (const std::string& name : names) {
        const std::wstring shown = levels_.back().folder.shown + L'\\' + ToWide(name);
        struct stat facts {};
        if (auto error = EntryStat(current_.Get(), name, facts)) {
            visitor_.Failed(shown, error);
        } else if (S_ISDIR(facts.st_mode)) {
            levels_.back().pending.push_back(name);
        } else {
            visitor_.Meet(current_.Get(), name, shown, facts);
        }
    }
}

void TreeWalk::Ascend() {
    const Level done = std::move(levels_.back());
    levels_.pop_back();
    const Place& expected = levels_.empty() ? start_ : levels_.back().folder.place;
    UniqueFd parent = OpenFolder(current_.Get(), "..");
    const auto place = parent ? PlaceOf(parent.Get()) : std::nullopt;
    if (!place || !place->SameEntry(expected)) {
        // The tree moved under the walk: nothing above can be trusted to be what was listed.
        visitor_.Failed(done.folder.shown, VelquorError::TreeMoved);
        levels_.clear();
        return;
    }
    visitor_.Leave(parent.Get(), current_.Get(), done.folder);
    current_ = std::move(parent);
}

}  // namespace posix
