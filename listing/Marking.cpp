#include "listing/Marking.h"

namespace {

bool NewMark(bool marked, MarkChange change) {
    switch (change) {
    case MarkChange::Mark: return true;
    case MarkChange::Unmark: return false;
    case MarkChange::Invert: return !marked;
    }
    return marked;
}

}  // namespace

void ChangeEveryMark(EntryList& lstViewer, MarkChange change) {
    for (int line = 0; line < lstViewer.ListCount(); ++line) {
        lstViewer.SetListIndex(line);
        if (line >= lstViewer.ListCount()) break;
        lstViewer.SetSelected(line, NewMark(lstViewer.Selected(line), change));
    }
    lstViewer.SetListIndex(0);
}
