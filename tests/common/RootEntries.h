#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "listing/FileSystemService.h"

// A root walk collected in full, for checking what it read and why it stopped.
struct RootEntries {
    std::vector<std::wstring> paths;
    std::error_code error;
};

inline RootEntries RootFolders(FileSystemService& files, const std::wstring& drive) {
    RootEntries entries;
    entries.error = files.ForEachRootFolder(drive, [&](const std::wstring& path) { entries.paths.push_back(path); });
    return entries;
}

inline RootEntries RootFiles(FileSystemService& files, const std::wstring& drive) {
    RootEntries entries;
    entries.error = files.ForEachRootFile(drive, [&](const std::wstring& path) { entries.paths.push_back(path); });
    return entries;
}
