#pragma once

#include <chrono>
#include <map>
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

// IsListedDrive for a walk that asks it of many lines: each drive is asked again only when its last
// answer is a little while old. Asking costs about a millisecond under Wine, while a stick pulled
// and another disk mounted under its letter take seconds.
class ListedDriveCheck {
public:
    explicit ListedDriveCheck(FileSystemService& files) : files_(files) {}
    bool IsListed(const std::wstring& drive);

private:
    using Clock = std::chrono::steady_clock;
    struct Answer {
        bool listed;
        Clock::time_point asked;
    };
    FileSystemService& files_;
    std::map<std::wstring, Answer> answers_;
};

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
