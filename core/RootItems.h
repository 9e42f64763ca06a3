#pragma once

#include <string>
#include <vector>

#include "FileSystemService.h"
#include "Suspicion.h"

// A drive's root as the rules judge it: every entry's name and attributes from one listing of the
// root, and the bytes of each shortcut and autorun.inf, read as the tip reads them. What cannot be
// read is left out (an unreadable launch file keeps no bytes). between runs after each entry.
std::vector<RootItem> ReadRootItems(FileSystemService& files, const std::wstring& drive, const BetweenItems& between);
