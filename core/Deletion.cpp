#include "Deletion.h"

#include "AnsweringPace.h"
#include "Marking.h"
#include "PathText.h"

namespace {

constexpr wchar_t kNothingMarked[] = L"Por favor, marque al menos un archivo";
constexpr wchar_t kAreYouSure[] = L"Estás seguro de que deseas eliminar el archivo?";

}  // namespace

Deletion::Deletion(Viewer& viewer, RootListing& listing) : viewer_(viewer), listing_(listing) {}

void Deletion::cmdDeleteSel_Click() {
    if (MarkedCount(viewer_.lstViewer) == 0) {
        viewer_.messages.Warn(kNothingMarked);
        return;
    }
    if (!viewer_.messages.AskYesNo(kAreYouSure)) return;
    ForEachMarkedLine(viewer_, MarkedWalk::ShowingEachLine, [this](int line) { return DeleteLine(line); });
    viewer_.lstViewer.SetListIndex(0);
    listing_.Refresh();
    if (viewer_.lstViewer.ListCount() == 0) viewer_.txtProp.SetText(L"");
}

LineAfter Deletion::DeleteLine(int line) {
    FileSystemService& files = viewer_.files;
    const std::wstring path = viewer_.lstViewer.List(line);
    // The stick may have been swapped for another disk under the same letter since the listing.
    if (!listing_.StillHolds(LineDrive(path))) return LineAfter::Stays;
    if (files.FileExists(path)) {
        files.DeleteFile(path, true);
    } else if (files.FolderExists(path)) {
        AnsweringPace pace(viewer_.pump, viewer_.clock);
        files.DeleteFolder(path, true, [&pace] { pace.Between(); });
    } else {
        return LineAfter::Stays;  // gone since the listing: the relisting drops its line
    }
    viewer_.lstViewer.RemoveItem(line);
    return LineAfter::Removed;
}
