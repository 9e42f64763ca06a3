#pragma once

#include "listing/RootListing.h"
#include "listing/Viewer.h"

// The cleaning command: deletes the entries of the marked lines from the drives for good, then
// lists the drives again in the same view.
class Deletion {
public:
    Deletion(Viewer& viewer, RootListing& listing);

    // After the user's Yes, walks the list from the first line: each marked line is made current
    // (showing its entry's facts), its entry deleted (read-only ones too) and the line removed.
    // The window answers throughout, also while one large folder goes; a mark taken off during
    // the walk keeps its entry. No message tells the outcome: the relisted drives show it.
    void cmdDeleteSel_Click();

private:
    int MarkedCount() const;
    void DeleteMarkedLines();
    // Deletes the line's entry and removes the line; false when the line stays (nothing to delete).
    bool DeleteLine(int line, ListedDriveCheck& drives);

    Viewer& viewer_;
    RootListing& listing_;
};
