#include "listing/RootListing.h"

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

RootListing::RootListing(FileSystemService& files, EntryList& list, ViewerWindow& window,
                         WalkState& walk)
    : files_(files), list_(list), window_(window), walk_(walk) {}

void RootListing::Show(Listed view) {
    if (view == Listed::Nothing) return;
    auto walking = walk_.Begin();
    list_.Clear();
    if (view != Listed::Files) ListRootFolders();
    if (view != Listed::Folders) ListRootFiles();
    window_.SetStatusText(CountText(list_.ListCount(), FoundText(view)));
    viewMode_ = view;
}

void RootListing::Refresh() { Show(viewMode_); }

void RootListing::ListRootFolders() { ListRoots(&FileSystemService::ForEachRootFolder); }

void RootListing::ListRootFiles() { ListRoots(&FileSystemService::ForEachRootFile); }

void RootListing::ListRoots(RootWalk walk) {
    for (const std::wstring& drive : files_.Drives()) {
        // Both facts are asked of every drive, ready or not, as the platform's own walk does.
        const bool ready = files_.IsReady(drive);
        const bool removable = files_.DriveType(drive) == DriveKind::Removable;
        if (!ready || !removable) continue;
        // The window yields while the root is still being read, so a large root never holds it
        // up; a root that fails part-way keeps the entries read before the failure.
        (files_.*walk)(drive, [this](const std::wstring& path) {
            window_.DoEvents();
            list_.AddItem(path);
        });
    }
}
