#pragma once

#include "listing/EntryList.h"

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
