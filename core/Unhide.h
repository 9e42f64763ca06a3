#pragma once

#include <map>
#include <string>
#include <vector>

#include "FileSystemService.h"
#include "RootListing.h"
#include "Viewer.h"

// Gives back what malware hid: takes the hidden and system attributes off the marked entries (a
// folder with everything inside it, never through a link), then lists the drives again in the
// same view. Every change is remembered for the running program, so the last one can be undone.
class Unhide {
public:
    Unhide(Viewer& viewer, RootListing& listing);

    // Whether a line is marked: the command has something to act on.
    bool CanShowMarked() const;
    // Whether the last run changed something that is still listed.
    bool CanUndo() const;

    // Walks the list as the deletion does, making each marked line current; afterwards one message
    // names whatever could not be changed. The drive's own hidden folders stay as they are.
    void ShowMarkedEntries();
    // Puts back exactly the attributes the last run took off, on the entries that still exist
    // and are still the ones it changed, never through a link, and only while every drive it
    // changed holds the same volume: a stick swapped for another under the same letter is left
    // alone, and one message says so.
    void UndoLastChange();

private:
    void ShowLine(const std::wstring& path, std::vector<ItemFailure>& failures);
    void Report(const std::vector<ItemFailure>& failures);

    Viewer& viewer_;
    RootListing& listing_;
    std::vector<AttributeChange> lastChanges_;
    std::vector<std::wstring> lastChangedLines_;  // the marked lines whose entries changed
    std::map<std::wstring, VolumeId> lastVolumes_;  // the volume of each drive the last run changed
};
