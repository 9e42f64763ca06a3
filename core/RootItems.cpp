#include "RootItems.h"

#include "LaunchTip.h"
#include "PathText.h"

std::vector<RootItem> ListRootItems(FileSystemService& files, const std::wstring& drive, const BetweenItems& between) {
    std::vector<RootItem> root;
    files.ForEachRootEntry(drive, [&](const std::wstring& path, Attributes attributes) {
        root.push_back({std::wstring(LastComponent(path)), attributes, {}});
        CallBetween(between);
    });
    return root;
}

void ReadLaunchBytes(FileSystemService& files, const std::wstring& drive, std::vector<RootItem>& root,
                     const BetweenItems& between) {
    for (RootItem& item : root) {
        if (!LaunchFileKindOf(item.name) || (item.attributes & attributes::kFolder) != 0) continue;
        if (files.ReadFileBytes(drive + L'\\' + item.name, kMostFileBytes + 1, item.launchBytes)) item.launchBytes.clear();
        CallBetween(between);
    }
}

std::vector<RootItem> ReadRootItems(FileSystemService& files, const std::wstring& drive, const BetweenItems& between) {
    std::vector<RootItem> root = ListRootItems(files, drive, between);
    ReadLaunchBytes(files, drive, root, between);
    return root;
}
