#pragma once

#include <sys/stat.h>

#include <system_error>

#include "FileSystemService.h"

namespace posix {

// The attributes of opened entries, numbered as Windows numbers them. A FAT stick keeps them
// itself; elsewhere read-only is the lack of the owner's write bit and the rest lives in the
// extended attribute user.DOSATTRIB ("0x6"), where Wine keeps hidden and system, so that what
// one of the two sets the other reads.

std::error_code ReadAttributes(int fd, const struct stat& facts, Attributes& attributes);
// Gives the entry exactly these attributes, the folder bit aside.
std::error_code WriteAttributes(int fd, const struct stat& facts, Attributes attributes);
// Gives copy the mode, the attributes and the last write time of source.
std::error_code CopyAttributesAndTime(int source, const struct stat& sourceFacts, int copy);

}  // namespace posix
