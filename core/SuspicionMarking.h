#pragma once

#include <map>
#include <optional>
#include <set>
#include <string>

#include "RootListing.h"
#include "Suspicion.h"
#include "Viewer.h"

// The list's menu's own marking: marks exactly the lines of what the rules judge the malware's
// (or of what it hid), reading every listed drive's root afresh, and remembers why each line was
// judged suspicious for as long as the list holds what it judged. Nothing on the drives changes.
class SuspicionMarking {
public:
    SuspicionMarking(Viewer& viewer, RootListing& listing);

    // "Marcar lo sospechoso": then one message says how many lines were marked.
    void MarkSuspicious();
    // "Marcar lo ocultado": the hidden entries that are neither suspicious nor the system's own.
    void MarkHidden();

    // Why the line's entry was judged suspicious by the last marking of this listing.
    std::optional<Suspicion> SuspicionOf(const std::wstring& line) const;

private:
    // Judges the root of every drive the list holds lines of and that still holds what was listed.
    void JudgeListedDrives();
    // Marks exactly the lines in marked; the count marked.
    int MarkExactly(const std::set<std::wstring>& marked);

    Viewer& viewer_;
    RootListing& listing_;
    std::map<std::wstring, Suspicion> suspicious_;  // by line
    std::set<std::wstring> hidden_;                 // lines of what the malware hid
    int judgedListing_ = -1;                        // the listing they belong to
};
