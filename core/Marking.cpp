#include "Marking.h"

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

int MarkedCount(const EntryList& lstViewer) {
    int marked = 0;
    for (int line = 0; line < lstViewer.ListCount(); ++line) marked += lstViewer.Selected(line) ? 1 : 0;
    return marked;
}

void ForEachMarkedLine(Viewer& viewer, MarkedWalk walk, const std::function<LineAfter(int line)>& act) {
    EntryList& list = viewer.lstViewer;
    const bool showing = walk == MarkedWalk::ShowingEachLine;
    const auto stillMarked = [&list](int line) { return line < list.ListCount() && list.Selected(line); };
    int line = 0;
    while (line < list.ListCount()) {
        if (showing) viewer.pump.DoEvents();
        if (!stillMarked(line)) {
            ++line;
            continue;
        }
        if (showing) {
            list.SetListIndex(line);
            viewer.pump.DoEvents();
            // The user may have taken the mark off meanwhile: that line is left alone.
            if (!stillMarked(line)) {
                ++line;
                continue;
            }
        }
        if (act(line) == LineAfter::Stays) ++line;
    }
}
