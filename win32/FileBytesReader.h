#pragma once

#include <cstddef>
#include <string>
#include <system_error>

#include "FileBytes.h"

namespace win32 {

// Reads at most `most` bytes of the file at path (a drive path such as "E:\\autorun.inf") into
// bytes, sharing it with whoever has it open. A link is opened as itself and refused, never
// followed; a folder gives std::errc::is_a_directory. On an error, bytes is left empty.
std::error_code ReadFileBytes(const std::wstring& path, std::size_t most, FileBytes& bytes);

}  // namespace win32
