#include "operations/Deletion.h"

#include "listing/AnsweringPace.h"

namespace {

constexpr wchar_t kNothingMarked[] = L"Por favor, marque al menos un archivo";
constexpr wchar_t kAreYouSure[] = L"Estás seguro de que deseas eliminar el archivo?";

// The drive of a line's path ("E:" of "E:\\autorun.inf").
std::wstring LineDrive(const std::wstring& path) { return path.substr(0, 2); }

}  // namespace

Deletion::Deletion(Viewer& viewer, RootListing& listing) : viewer_(viewer), listing_(listing) {}

void Deletion::cmdDeleteSel_Click() {
    if (MarkedCount() == 0) {
        viewer_.messages.Warn(kNothingMarked);
        return;
    }
    if (!viewer_.messages.AskYesNo(kAreYouSure)) return;
    DeleteMarkedLines();
    viewer_.lstViewer.SetListIndex(0);
    listing_.Refresh();
    if (viewer_.lstViewer.ListCount() == 0) viewer_.txtProp.SetText(L"");
}

int Deletion::MarkedCount() const {
    const EntryList& list = viewer_.lstViewer;
    int marked = 0;
    for (int line = 0; line < list.ListCount(); ++line) marked += list.Selected(line) ? 1 : 0;
    return marked;
}

// The count is read afresh at every step: the walk yields, and it must never step outside a list
// that changed meanwhile. A removed line brings the next one to its place, which is visited next.
void Deletion::DeleteMarkedLines() {
    EntryList& list = viewer_.lstViewer;
    ListedDriveCheck drives(viewer_.files);
    int line = 0;
    while (line < list.ListCount()) {
        viewer_.pump.DoEvents();
        if (line >= list.ListCount() || !list.Selected(line)) {
            ++line;
            continue;
        }
        list.SetListIndex(line);
        viewer_.pump.DoEvents();
        // The user may have taken the mark off meanwhile: that entry stays.
        if (line < list.ListCount() && list.Selected(line) && DeleteLine(line, drives)) continue;
        ++line;
    }
}

bool Deletion::DeleteLine(int line, ListedDriveCheck& drives) {
    FileSystemService& files = viewer_.files;
    EntryList& list = viewer_.lstViewer;
    const std::wstring path = list.List(line);
    // The stick may have been swapped for another disk under the same letter since the listing.
    if (!drives.IsListed(LineDrive(path))) return false;
    if (files.FileExists(path)) {
        files.DeleteFile(path, true);
    } else if (files.FolderExists(path)) {
        AnsweringPace pace(viewer_.pump);
        files.DeleteFolder(path, true, [&pace] { pace.Between(); });
    } else {
        return false;  // gone since the listing: the relisting drops its line
    }
    list.RemoveItem(line);
    return true;
}
