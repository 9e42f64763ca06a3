#pragma once

#include "Marking.h"
#include "RootListing.h"
#include "Viewer.h"

// The cleaning command: deletes the entries of the marked lines from the drives for good, then
// lists the drives again in the same view.
class Deletion {
public:
    Deletion(Viewer& viewer, RootListing& listing);

    // After the user's Yes, walks the list from the first line: each marked line is made current
    // (showing its entry's facts), its entry deleted (read-only ones too) and the line removed.
    // The window answers throughout, also while one large folder goes; a mark taken off during
    // the walk keeps its entry, and so does a drive that no longer holds the volume listed. No
    // message tells the outcome: the relisted drives show it.
    void cmdDeleteSel_Click();

private:
    // Deletes the line's entry and removes the line; the line stays when there is nothing to delete.
    LineAfter DeleteLine(int line);

    Viewer& viewer_;
    RootListing& listing_;
};
