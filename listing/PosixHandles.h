#pragma once

#include <unistd.h>

#include "listing/Unique.h"

// A file descriptor from open().
struct FdTraits {
    using Type = int;
    static int Invalid() { return -1; }
    static void Close(int fd) { ::close(fd); }
};
using UniqueFd = Unique<FdTraits>;
