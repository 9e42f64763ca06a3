#pragma once

#include <string>

#include "FileSystemService.h"

namespace posix {

// The POSIX service's copies, on host paths; shown is how the source is reported.

// Copies the regular file name of folder (a descriptor, or AT_FDCWD for a path) to target.
std::error_code CopyFileAt(int folder, const std::string& name, const std::string& target,
                           bool overwrite, CopyRun& run, const BetweenItems& between);
// Copies the folder source with its whole tree to target.
void CopyTree(const std::string& source, const std::string& target, const std::wstring& shown,
              bool overwrite, CopyRun& run, const BetweenItems& between, TreeReport& report);

}  // namespace posix
