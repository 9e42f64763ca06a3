#pragma once

#include <dirent.h>
#include <unistd.h>

#include "Unique.h"

namespace posix {

// A file descriptor from open().
struct FdTraits {
    using Type = int;
    static int Invalid() { return -1; }
    static void Close(int fd) { ::close(fd); }
};
using UniqueFd = Unique<FdTraits>;

// A folder stream from opendir() or fdopendir().
struct DirTraits {
    using Type = DIR*;
    static DIR* Invalid() { return nullptr; }
    static void Close(DIR* dir) { ::closedir(dir); }
};
using UniqueDir = Unique<DirTraits>;

}  // namespace posix
