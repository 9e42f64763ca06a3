#pragma once

#include <map>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "DriveFacts.h"
#include "FileSystemService.h"
#include "Viewer.h"

// What the entry list holds, as the view command that filled it chose.
enum class Listed : int {
    Nothing = 0,
    Files = 1,
    Folders = 2,
    FoldersThenFiles = 3,
};

inline constexpr std::wstring_view kFilesAndFoldersFound = L" Archivos y Carpetas Encontradas!";
inline constexpr std::wstring_view kFoldersFound = L" Carpetas Encontradas!";
inline constexpr std::wstring_view kFilesFound = L" Archivos Encontrados!";

// The count in plain decimal digits followed directly by the suffix.
std::wstring CountText(int count, std::wstring_view suffix);

// Fills the entry list with the root entries of every ready removable drive, and remembers which
// volume each listed drive held, so that the walks after it act on nothing else.
class RootListing {
public:
    explicit RootListing(Viewer& viewer);

    // Clears the list, lists what view names (folders of all drives before files of all drives),
    // writes the count into lblStatus and records view as ViewMode. Listed::Nothing does nothing.
    void Show(Listed view);
    // Lists again what the last view command listed; nothing before the first one.
    void Refresh();
    // Appends the folders (or files) in the roots of the ready removable drives, yielding once
    // before each line is added.
    void ListRootFolders();
    void ListRootFiles();

    Listed ViewMode() const { return viewMode_; }
    // Counts the view commands run: what was said of the lines of one listing holds while this
    // stays the same.
    int Generation() const { return generation_; }
    // Whether drive is still removable and holds the very volume the last listing read from it:
    // a stick swapped for another, or the letter given to another disk, is not. One cheap
    // question, asked before each entry a walk changes.
    bool StillHolds(const std::wstring& drive);
    // The drives the last listing read, in the system's order.
    std::vector<std::wstring> ListedDrives() const;
    // The volume the last listing read from drive; nothing for a drive it did not list.
    std::optional<VolumeId> ListedVolume(const std::wstring& drive) const;

private:
    void ListRoots(bool folders);

    Viewer& viewer_;
    KnownDrives drives_;
    std::map<std::wstring, VolumeId> listedVolumes_;  // by drive, as the last listing found them
    Listed viewMode_ = Listed::Nothing;
    int generation_ = 0;
};
