#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "ReinfectionWatch.h"
#include "RootListing.h"
#include "Viewer.h"

// The main window's watch over the drives it listed: what the program itself did to them is
// settled, the roots the system says changed are read and judged, and a warning shown when the
// malware comes back. Each call that can change what is watched gives the drives to watch.
class ReinfectionAlarm {
public:
    // A root is read again only after this many times its last read's length: while another
    // program keeps changing a large root, the watch takes at most a fifth of the time.
    static constexpr int kRestPerRead = 4;

    ReinfectionAlarm(Viewer& viewer, RootListing& listing);

    // After a listing or a change of the program's own: the roots of the drives listed again, or
    // changed without listing them again, as they are now, are what later changes are measured
    // against; the drives the last listing read are watched.
    std::vector<std::wstring> Settle(const std::vector<std::wstring>& changedUnlisted = {});
    // The system says this drive's root changed: it is read at the next look its pace allows.
    void Noticed(const std::wstring& drive);
    // Reads the noticed roots whose time has come: one warning for each that the malware writes
    // back into, once a minute a drive; a drive that went is forgotten.
    std::vector<std::wstring> Look();
    // Drives came or went: each that no longer holds what was listed is forgotten until it is
    // listed again.
    std::vector<std::wstring> DrivesChanged();
    // When the next look has work: a noticed root waiting for its pace or a drive's quiet minute.
    std::optional<Clock::TimePoint> NextLook() const;

private:
    // Reads and judges the drive's root; false when a settling meanwhile made the read stale.
    bool Read(const std::wstring& drive);
    BetweenItems Pace();

    Viewer& viewer_;
    RootListing& listing_;
    ReinfectionWatch watch_;
    std::map<std::wstring, Clock::TimePoint> noticed_;   // drive: when its root may be read
    std::map<std::wstring, Clock::TimePoint> readable_;  // drive: when its last read's rest ends
    std::map<std::wstring, std::uint64_t> settlings_;    // drive: how often it was settled
    int settledListing_ = -1;                            // the listing's generation last settled
};
