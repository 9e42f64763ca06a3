#pragma once

#include <string>
#include <vector>

#include "FileSystemService.h"
#include "Suspicion.h"

// A drive's root as the rules judge it: every entry's name and attributes, from one listing of the
// root; then the bytes of each shortcut and autorun.inf, read as the tip reads them (an
// unreadable one keeps none). between runs after each entry and each file read.
std::vector<RootItem> ListRootItems(FileSystemService& files, const std::wstring& drive, const BetweenItems& between);
void ReadLaunchBytes(FileSystemService& files, const std::wstring& drive, std::vector<RootItem>& root,
                     const BetweenItems& between);
// Both.
std::vector<RootItem> ReadRootItems(FileSystemService& files, const std::wstring& drive, const BetweenItems& between);
