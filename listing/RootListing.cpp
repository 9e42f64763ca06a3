#include "listing/RootListing.h"

#include "listing/AnsweringPace.h"

bool IsListedDrive(FileSystemService& files, const std::wstring& drive) {
    // Both facts are asked of every drive, ready or not, as the platform's own walk does.
    const bool ready = files.IsReady(drive);
    const bool removable = files.DriveType(drive) == DriveKind::Removable;
    return ready && removable;
}

bool ListedDriveCheck::IsListed(const std::wstring& drive) {
    constexpr auto kLongestTrust = std::chrono::milliseconds(500);
    const auto now = Clock::now();
    const auto known = answers_.find(drive);
    if (known != answers_.end() && now - known->second.asked < kLongestTrust) return known->second.listed;
    const bool listed = IsListedDrive(files_, drive);
    answers_[drive] = {listed, now};
    return listed;
}

std::wstring CountText(int count, std::wstring_view suffix) {
    return std::to_wstring(count).append(suffix);
}

namespace {

std::wstring_view FoundText(Listed view) {
    switch (view) {
    case Listed::Files: return kFilesFound;
    case Listed::Folders: return kFoldersFound;
    case Listed::FoldersThenFiles: return kFilesAndFoldersFound;
    case Listed::Nothing: break;
    }
    return {};
}

}  // namespace

RootListing::RootListing(Viewer& viewer) : viewer_(viewer) {}

void RootListing::Show(Listed view) {
    if (view == Listed::Nothing) return;
    viewer_.lstViewer.Clear();
    if (view != Listed::Files) ListRootFolders();
    if (view != Listed::Folders) ListRootFiles();
    viewer_.lblStatus.SetText(CountText(viewer_.lstViewer.ListCount(), FoundText(view)));
    viewMode_ = view;
}

void RootListing::Refresh() { Show(viewMode_); }

void RootListing::ListRootFolders() { ListRoots(true); }

void RootListing::ListRootFiles() { ListRoots(false); }

void RootListing::ListRoots(bool folders) {
    FileSystemService& files = viewer_.files;
    // Passing over thousands of entries of the other kind takes a fifth of a second.
    AnsweringPace pace(viewer_.pump);
    for (const std::wstring& drive : files.Drives()) {
        if (!IsListedDrive(files, drive)) continue;
        // The window yields while the root is still being read, so a large root never holds it
        // up; a root that fails part-way keeps the entries read before the failure.
        files.ForEachRootEntry(drive, [&](const std::wstring& path, bool isFolder) {
            if (isFolder != folders) {
                pace.Between();
                return;
            }
            viewer_.pump.DoEvents();
            viewer_.lstViewer.AddItem(path);
        });
    }
}
