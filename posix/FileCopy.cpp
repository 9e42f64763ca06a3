#include "FileCopy.h"

#include <fcntl.h>
#include <stdio.h>
#include <stdlib.h>

#include <algorithm>
#include <memory>

#include "Attributes.h"
#include "TreeWalk.h"
#include "VelquorError.h"

namespace posix {

namespace {

constexpr std::size_t kCopyChunk = 1024 * 1024;

// The folder part of a host path ("/a/b" of "/a/b/c"; "/" of "/a").
std::string FolderOf(const std::string& path) {
    return path.substr(0, std::max<std::size_t>(path.find_last_of('/'), 1));
}

std::error_code OpenSource(int folder, const std::string& name, UniqueFd& file,
                           struct stat& facts) {
    if (auto error = OpenAsItself(folder, name, file, facts)) return error;
    return S_ISREG(facts.st_mode) ? std::error_code{} : Failure(std::errc::is_a_directory);
}

// Why target may not take a copy of source, or nothing. A link as target is replaced, never
// written through.
std::error_code CheckTarget(const std::string& target, const struct stat& source, bool overwrite,
                            const CopyRun& run) {
    struct stat facts {};
    if (::lstat(target.c_str(), &facts) != 0) {
        return errno == ENOENT ? std::error_code{} : LastError();
    }
    if (!overwrite) return Failure(std::errc::file_exists);
    if (S_ISDIR(facts.st_mode)) return Failure(std::errc::is_a_directory);
    if (run.HasWritten(IdOf(facts))) return VelquorError::NameAlreadyCopied;
    if (IdOf(facts) == IdOf(source)) return VelquorError::DestinationIsSource;
    return {};
}

// A file made in a copy's target folder that takes the target's name once complete. Where the
// file system has them it is an unnamed file (O_TMPFILE), which nothing that ends the program can
// leave behind; elsewhere it has a name of its own and is removed unless it is put in place.
class TempFile {
public:
    TempFile() = default;
    TempFile(const TempFile&) = delete;
    TempFile& operator=(const TempFile&) = delete;
    ~TempFile() {
        if (!path_.empty()) ::unlink(path_.c_str());
    }

    std::error_code Create(const std::string& folder) {
        folder_ = folder;
        file_ = UniqueFd{::open(folder.c_str(), O_TMPFILE | O_WRONLY | O_CLOEXEC, 0600)};
        if (file_) return {};
        const bool unsupported = errno == EOPNOTSUPP || errno == EISDIR || errno == EINVAL;
        return unsupported ? CreateNamed() : LastError();
    }

    int Fd() const { return file_.Get(); }

    // Closed first: a file system may say only then that the bytes did not fit.
    std::error_code PutInPlace(const std::string& target, bool overwrite) {
        if (path_.empty()) {
            if (auto error = LinkUnnamed()) return error;
        }
        if (::close(file_.Release()) != 0) return LastError();
        const unsigned flags = overwrite ? 0 : RENAME_NOREPLACE;
        if (::renameat2(AT_FDCWD, path_.c_str(), AT_FDCWD, target.c_str(), flags) != 0) {
            return LastError();
        }
        path_.clear();
        return {};
    }

private:
    std::error_code CreateNamed() {
        std::string path = folder_ + "/~velquor-XXXXXX.tmp";
        file_ = UniqueFd{::mkostemps(path.data(), 4, O_CLOEXEC)};
        if (!file_) return LastError();
        path_ = std::move(path);
        return {};
    }

    // Gives the unnamed file a name of its own, from which a rename puts it in place (a link
    // cannot replace what is there). Through /proc, as linking the descriptor itself takes a
    // privilege; a name that is taken is tried afresh.
    std::error_code LinkUnnamed() {
        static unsigned next = static_cast<unsigned>(::getpid()) << 16;
        const std::string self = "/proc/self/fd/" + std::to_string(file_.Get());
        for (int attempt = 0; attempt < 100; ++attempt) {
            std::string path = folder_ + "/~velquor-" + std::to_string(++next) + ".tmp";
            if (::linkat(AT_FDCWD, self.c_str(), AT_FDCWD, path.c_str(), AT_SYMLINK_FOLLOW) == 0) {
                path_ = std::move(path);
                return {};
            }
            if (errno != EEXIST) return LastError();
        }
        return Failure(std::errc::file_exists);
    }

    std::string folder_;
    std::string path_;  // while the file has a name of its own
    UniqueFd file_;
};

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

std::error_code CopyBytes(int from, const struct stat& facts, int to, const BetweenItems& between) {
    const std::size_t size =
        std::min(kCopyChunk, static_cast<std::size_t>(std::max<off_t>(facts.st_size, 0)) + 1);
    const auto buffer = std::make_unique_for_overwrite<char[]>(size);
    for (;;) {
        const ssize_t got = ::read(from, buffer.get(), size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) return LastError();
        if (got == 0) return {};
        if (auto error = WriteAll(to, buffer.get(), static_cast<std::size_t>(got))) return error;
        CallBetween(between);
    }
}

// Creates the folder, or accepts one that is already there unless run copied another tree into
// it; an earlier copy left read-only must take the new contents all the same (it gets its
// source's attributes once they are in).
std::error_code MakeFolder(const std::string& folder, CopyRun& run) {
    if (::mkdir(folder.c_str(), 0777) != 0 && errno != EEXIST) return LastError();
    struct stat facts {};
    if (::stat(folder.c_str(), &facts) != 0) return LastError();
    if (!S_ISDIR(facts.st_mode)) return Failure(std::errc::file_exists);
    if (run.HasWritten(IdOf(facts))) return VelquorError::NameAlreadyCopied;
    run.Wrote(IdOf(facts));
    if (!IsReadOnly(facts.st_mode)) return {};
    return ::chmod(folder.c_str(), (facts.st_mode & 07777) | S_IWUSR) == 0 ? std::error_code{}
                                                                           : LastError();
}

// The nearest folder of path that exists, opened as the system resolves it.
std::error_code OpenNearestFolder(std::string path, UniqueFd& folder) {
    for (;;) {
        folder = UniqueFd{::open(path.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
        if (folder) return {};
        if ((errno != ENOENT && errno != ENOTDIR) || path == "/") return LastError();
        path = FolderOf(path);
    }
}

// Why the folder opened as source may not be copied to destination, or nothing. The
// destination's nearest existing folder and every folder above it, as the system resolves them
// (through links, whatever the spelling), are compared with the source by identity.
std::error_code CheckDestination(int source, const std::string& destination) {
    const auto sourcePlace = PlaceOf(source);
    if (!sourcePlace) return LastError();
    UniqueFd folder;
    if (auto error = OpenNearestFolder(destination, folder)) return error;
    std::optional<Place> place = PlaceOf(folder.Get());
    while (place && !place->SameEntry(*sourcePlace)) {
        UniqueFd parent = OpenFolder(folder.Get(), "..");
        const auto above = parent ? PlaceOf(parent.Get()) : std::nullopt;
        if (above && above->SameEntry(*place)) return {};  // the root is its own parent
        folder = std::move(parent);
        place = above;
    }
    return place ? std::error_code(VelquorError::DestinationInsideSource) : LastError();
}

// Copies a tree as the walk meets it: files at once, each folder's attributes and time once
// its contents are in (so that a read-only one does not keep them out).
class TreeCopy final : public TreeWalk::Visitor {
public:
    TreeCopy(std::string destination, bool overwrite, CopyRun& run, const BetweenItems& between,
             TreeReport& report)
        : destination_(std::move(destination)),
          overwrite_(overwrite),
          run_(run),
          between_(between),
          report_(report) {}

    void Meet(int folder, const std::string& name, const std::wstring& shown,
              const struct stat& facts) override {
        const std::string target = targets_.back() + '/' + name;
        if (S_ISLNK(facts.st_mode)) {
            report_.Add(shown, VelquorError::LinkNotFollowed);
        } else if (auto error = CopyFileAt(folder, name, target, overwrite_, run_, between_)) {
            report_.Add(shown, error);
        }
        CallBetween(between_);
    }

    void EnterFailed(int folder, const std::string& name, const std::wstring& shown,
                     std::error_code error) override {
        report_.Add(shown, WhyNotEntered(folder, name, error));
    }

    bool Enter(int opened, const TreeWalk::Folder& entered) override {
        const bool top = targets_.empty();
        std::string target = top ? destination_ : targets_.back() + '/' + entered.name;
        std::error_code error = top ? CheckDestination(opened, destination_) : std::error_code{};
        if (!error) error = MakeFolder(target, run_);
        if (error) {
            report_.Add(entered.shown, error);
            return false;
        }
        targets_.push_back(std::move(target));
        return true;
    }

    void Leave(int, int opened, const TreeWalk::Folder& done) override {
        const UniqueFd target{::open(targets_.back().c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
        targets_.pop_back();
        struct stat facts {};
        std::error_code error;
        if (!target || ::fstat(opened, &facts) != 0) {
            error = LastError();
        } else {
            error = CopyAttributesAndTime(opened, facts, target.Get());
        }
        if (error) report_.Add(done.shown, error);
        CallBetween(between_);
    }

    void Failed(const std::wstring& shown, std::error_code error) override {
        report_.Add(shown, error);
    }

private:
    const std::string destination_;
    const bool overwrite_;
    CopyRun& run_;
    const BetweenItems& between_;
    TreeReport& report_;
    std::vector<std::string> targets_;  // the copy of each folder being walked
};

}  // namespace

std::error_code CopyFileAt(int folder, const std::string& name, const std::string& target,
                           bool overwrite, CopyRun& run, const BetweenItems& between) {
    UniqueFd source;
    struct stat facts {};
    if (auto error = OpenSource(folder, name, source, facts)) return error;
    if (auto error = CheckTarget(target, facts, overwrite, run)) return error;
    TempFile copy;
    if (auto error = copy.Create(FolderOf(target))) return error;
    if (auto error = CopyBytes(source.Get(), facts, copy.Fd(), between)) return error;
    if (auto error = CopyAttributesAndTime(source.Get(), facts, copy.Fd())) return error;
    struct stat written {};
    if (::fstat(copy.Fd(), &written) != 0) return LastError();
    if (auto error = copy.PutInPlace(target, overwrite)) return error;
    run.Wrote(IdOf(written));
    return {};
}

void CopyTree(const std::string& source, const std::string& target, const std::wstring& shown,
              bool overwrite, CopyRun& run, const BetweenItems& between, TreeReport& report) {
    UniqueFd parent{::open(FolderOf(source).c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC)};
    if (!parent) return report.Add(shown, LastError());
    TreeCopy copy(target, overwrite, run, between, report);
    TreeWalk(copy).Run(std::move(parent), source.substr(source.find_last_of('/') + 1), shown);
}

}  // namespace posix
