#include "FileBytesReader.h"

#include <fcntl.h>
#include <sys/stat.h>

#include <cerrno>

#include "Owners.h"

namespace posix {

namespace {

std::error_code LastError() { return {errno, std::generic_category()}; }

}  // namespace

std::error_code ReadFileBytes(const std::string& hostPath, std::size_t most, FileBytes& bytes) {
    bytes.clear();
    // Non-blocking, so that opening a pipe never waits for a writer.
    const UniqueFd fd{::open(hostPath.c_str(), O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC)};
    if (!fd) return LastError();
    struct stat facts {};
    if (::fstat(fd.Get(), &facts) != 0) return LastError();
    if (S_ISDIR(facts.st_mode)) return std::make_error_code(std::errc::is_a_directory);
    if (!S_ISREG(facts.st_mode)) return std::make_error_code(std::errc::not_supported);
    bytes.resize(most);
    std::size_t size = 0;
    while (size < most) {
        const ssize_t got = ::read(fd.Get(), bytes.data() + size, most - size);
        if (got < 0 && errno == EINTR) continue;
        if (got < 0) {
            const std::error_code error = LastError();
            bytes.clear();
            return error;
        }
        if (got == 0) break;
        size += static_cast<std::size_t>(got);
    }
    bytes.resize(size);
    return {};
}

}  // namespace posix
