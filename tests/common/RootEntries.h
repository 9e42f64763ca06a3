#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "FileSystemService.h"

// A root walk collected in full, for checking what it read and why it stopped.
struct RootEntries {
    std::vector<std::wstring> paths;
    std::error_code error;
};

// The folders (or files) of a drive's root, in the order the walk read them.
inline RootEntries RootEntriesOfKind(FileSystemService& files, const std::wstring& drive, bool folders) {
    RootEntries entries;
    entries.error = files.ForEachRootEntry(drive, [&](const std::wstring& path, bool isFolder) {
        if (isFolder == folders) entries.paths.push_back(path);
    });
    return entries;
}

inline RootEntries RootFolders(FileSystemService& files, const std::wstring& drive) {
    return RootEntriesOfKind(files, drive, true);
}

inline RootEntries RootFiles(FileSystemService& files, const std::wstring& drive) {
    return RootEntriesOfKind(files, drive, false);
}
