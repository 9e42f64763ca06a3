#include "RootListing.h"

#include "AnsweringPace.h"

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

RootListing::RootListing(Viewer& viewer) : viewer_(viewer), drives_(viewer.files) {}

void RootListing::Show(Listed view) {
    if (view == Listed::Nothing) return;
    viewer_.lstViewer.Clear();
    ++generation_;
    listedVolumes_.clear();
    if (view != Listed::Files) ListRootFolders();
    if (view != Listed::Folders) ListRootFiles();
    viewer_.lstViewer.ShowAllLines();
    viewer_.lblStatus.SetText(CountText(viewer_.lstViewer.ListCount(), FoundText(view)));
    viewMode_ = view;
}

void RootListing::Refresh() { Show(viewMode_); }

void RootListing::ListRootFolders() { ListRoots(true); }

void RootListing::ListRootFiles() { ListRoots(false); }

bool RootListing::StillHolds(const std::wstring& drive) {
    const auto listed = ListedVolume(drive);
    return listed && drives_.IsRemovable(drive) && viewer_.files.VolumeOf(drive) == listed;
}

std::vector<std::wstring> RootListing::ListedDrives() const {
    std::vector<std::wstring> drives;
    for (const auto& [drive, volume] : listedVolumes_) drives.push_back(drive);
    return drives;
}

std::optional<VolumeId> RootListing::ListedVolume(const std::wstring& drive) const {
    const auto listed = listedVolumes_.find(drive);
    if (listed == listedVolumes_.end()) return std::nullopt;
    return listed->second;
}

void RootListing::ListRoots(bool folders) {
    FileSystemService& files = viewer_.files;
    // Passing over thousands of entries of the other kind takes a fifth of a second.
    AnsweringPace pace(viewer_.pump, viewer_.clock);
    for (const std::wstring& drive : files.Drives()) {
        // Both facts are asked of every drive, ready or not, as the platform's own walk does.
        if (!drives_.IsListed(drive)) continue;
        // A drive whose volume cannot be named is listed, but no walk will act on its entries.
        if (const auto volume = files.VolumeOf(drive)) listedVolumes_[drive] = *volume;
        // The window yields while the root is still being read, so a large root never holds it
        // up; a root that fails part-way keeps the entries read before the failure.
        files.ForEachRootEntry(drive, [&](const std::wstring& path, Attributes attributes) {
            if (((attributes & attributes::kFolder) != 0) != folders) {
                pace.Between();
                return;
            }
            viewer_.pump.DoEvents();
            viewer_.lstViewer.AddItem(path);
        });
    }
}
