#pragma once

#include <cstddef>
#include <string>
#include <system_error>

#include "FileBytes.h"

namespace posix {

// Reads at most `most` bytes of the file at hostPath into bytes. A symbolic link is not followed
// (an error), a folder gives std::errc::is_a_directory, and anything but a plain file (a pipe, a
// device) is refused without waiting on it. On an error, bytes is left empty.
std::error_code ReadFileBytes(const std::string& hostPath, std::size_t most, FileBytes& bytes);

}  // namespace posix
