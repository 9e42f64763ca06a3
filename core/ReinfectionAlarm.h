#pragma once

#include <optional>
#include <set>
#include <string>
#include <vector>

#include "ReinfectionWatch.h"
#include "RootListing.h"
#include "Viewer.h"

// The main window's watch over the drives it listed: what the program itself did to them is
// settled, what the system later says changed is read and judged, and a warning shown when the
// malware comes back. Each call gives the drives to watch from then on.
class ReinfectionAlarm {
public:
    ReinfectionAlarm(Viewer& viewer, RootListing& listing);

    // After a listing or a change of the program's own: the drives the last listing read, as they
    // are now, are what later changes are measured against.
    std::vector<std::wstring> Settle();
    // The system says these drives' roots changed: one warning for each that the malware writes
    // back into, once a minute a drive; a drive that went is forgotten.
    std::vector<std::wstring> RootsChanged(const std::set<std::wstring>& drives);
    // Drives came or went: each that no longer holds what was listed is forgotten until it is
    // listed again.
    std::vector<std::wstring> DrivesChanged();
    // When to look again at the drives, for what came back during a quiet minute.
    std::optional<Clock::TimePoint> NextLook() const { return watch_.NextQuietEnd(); }
    std::vector<std::wstring> Watched() const { return watch_.Drives(); }

private:
    BetweenItems Pace();

    Viewer& viewer_;
    RootListing& listing_;
    ReinfectionWatch watch_;
};
