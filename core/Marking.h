#pragma once

#include <functional>

#include "EntryList.h"
#include "Viewer.h"

// What a marking command does to each line's check mark.
enum class MarkChange {
    Mark,    // cmdSelAll
    Unmark,  // cmdClearAll
    Invert,  // cmdInvAll
};

// Walks the list from the first line to the last, making each line current in turn (so the
// properties box runs down the list with it) and changing its mark, then makes line 0 current.
// The count is read afresh at every step: the properties box yields, and the walk never steps
// outside a list that changed meanwhile.
void ChangeEveryMark(EntryList& lstViewer, MarkChange change);

// How many lines carry a mark.
int MarkedCount(const EntryList& lstViewer);

// What acting on a marked line did to it.
enum class LineAfter { Stays, Removed };

// How a walk over the marked lines goes along the list.
enum class MarkedWalk {
    // Acts on each marked line as the walk comes to it (the copy).
    Plain,
    // Yields at every line; makes a marked line current (its facts show), yields again and acts
    // only if the mark is still there (the deletion and unhiding).
    ShowingEachLine,
};

// Calls act with each line that is marked when the walk reaches it, from the first line on. The
// count is read afresh at every step, so a walk that yields never steps outside a list that changed
// meanwhile, and a mark changed during a yield counts for the lines still to come; a removed line
// brings the next one to its place, which is visited next.
void ForEachMarkedLine(Viewer& viewer, MarkedWalk walk, const std::function<LineAfter(int line)>& act);
