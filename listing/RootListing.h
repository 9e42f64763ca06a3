#pragma once

#include <string>
#include <string_view>

#include "listing/FileSystemService.h"
#include "listing/Viewer.h"

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

// Whether the listing lists the drive's root: a ready, removable drive.
bool IsListedDrive(FileSystemService& files, const std::wstring& drive);

// The count in plain decimal digits followed directly by the suffix.
std::wstring CountText(int count, std::wstring_view suffix);

// Fills the entry list with the root entries of every ready removable drive.
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

private:
    void ListRoots(bool folders);

    Viewer& viewer_;
    Listed viewMode_ = Listed::Nothing;
};
