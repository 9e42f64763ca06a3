#pragma once

#include "Win32Api.h"

#include <string>

#include "FileSystemService.h"
#include "TreeWalk.h"

namespace win32 {

// The Win32 service's copies. Sources are opened as themselves; targets are paths of the long
// form.

// What a copy opens its sources, files and folders alike, with.
inline constexpr DWORD kReadAccess = FILE_READ_DATA | FILE_READ_ATTRIBUTES | SYNCHRONIZE;

// Copies the bytes, attributes and last write time of an opened file to target. folderVolume,
// when the caller knows it, is the serial number of target's folder's volume.
std::error_code CopyOpenedFile(HANDLE source, const std::wstring& target, bool overwrite,
                               CopyRun& run, const BetweenItems& between,
                               std::optional<std::uint64_t> folderVolume = std::nullopt);
// Copies the tree of an opened folder (or reports the link it turned out to be) to target.
void CopyTree(const Location& source, ListedEntry opened, const std::wstring& target,
              bool overwrite, CopyRun& run, const BetweenItems& between, TreeReport& report);

}  // namespace win32
