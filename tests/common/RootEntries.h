#pragma once

#include <string>
#include <system_error>
#include <vector>

#include "FileSystemService.h"

// A root walk collected in full, for checking what it read and why it stopped.
struct RootEntries {
    std::vector<std::wstring> paths;
    std::vector<Attributes> attributes;  // of each path, as the listing gave them
    std::error_code error;
};

// The folders (or files) of a drive's root, in the order the walk read them.
inline RootEntries RootEntriesOfKind(FileSystemService& files, const std::wstring& drive, bool folders) {
    RootEntries entries;
    entries.error = files.ForEachRootEntry(drive, [&](const std::wstring& path, Attributes attributes) {
        if (((attributes & attributes::kFolder) != 0) != folders) return;
        entries.paths.push_back(path);
        entries.attributes.push_back(attributes);
    });
    return entries;
}

inline RootEntries RootFolders(FileSystemService& files, const std::wstring& drive) {
    return RootEntriesOfKind(files, drive, true);
}

inline RootEntries RootFiles(FileSystemService& files, const std::wstring& drive) {
    return RootEntriesOfKind(files, drive, false);
}
