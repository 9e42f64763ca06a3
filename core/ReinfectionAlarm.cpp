#include "ReinfectionAlarm.h"

#include <algorithm>
#include <utility>

#include "AnsweringPace.h"
#include "RootItems.h"

ReinfectionAlarm::ReinfectionAlarm(Viewer& viewer, RootListing& listing)
    : viewer_(viewer), listing_(listing), watch_(viewer.clock) {}

// A root of many thousand entries takes a second to read: one that neither a listing nor a
// change of the program's own touched since it was settled is not read again.
std::vector<std::wstring> ReinfectionAlarm::Settle(const std::vector<std::wstring>& changedUnlisted) {
    const std::vector<std::wstring> listed = listing_.ListedDrives();
    for (const std::wstring& watched : watch_.Drives()) {
        if (std::find(listed.begin(), listed.end(), watched) == listed.end()) watch_.Forget(watched);
    }
    const bool listedAgain = std::exchange(settledListing_, listing_.Generation()) != listing_.Generation();
    for (const std::wstring& drive : listed) {
        const bool changed = std::find(changedUnlisted.begin(), changedUnlisted.end(), drive) != changedUnlisted.end();
        if (!listedAgain && !changed) continue;
        watch_.Settle(drive, ListRootItems(viewer_.files, drive, Pace()));
        noticed_.erase(drive);
        ++settlings_[drive];
    }
    return listed;
}

void ReinfectionAlarm::Noticed(const std::wstring& drive) {
    if (!watch_.Watches(drive)) return;
    const auto rest = readable_.find(drive);
    noticed_.try_emplace(drive, rest == readable_.end() ? viewer_.clock.Now() : rest->second);
}

std::vector<std::wstring> ReinfectionAlarm::Look() {
    std::vector<std::wstring> due;
    for (const auto& [drive, when] : noticed_) {
        if (when <= viewer_.clock.Now()) due.push_back(drive);
    }
    for (const std::wstring& drive : due) {
        noticed_.erase(drive);
        // A drive that went, or holds another stick, is watched again only once it is listed.
        if (!watch_.Watches(drive)) continue;
        if (!listing_.StillHolds(drive)) {
            watch_.Forget(drive);
            continue;
        }
        const Clock::TimePoint start = viewer_.clock.Now();
        if (!Read(drive)) continue;
        const Clock::TimePoint end = viewer_.clock.Now();
        readable_[drive] = end + kRestPerRead * (end - start);
        // Noticed again while it was read: that waits for the rest.
        if (const auto again = noticed_.find(drive); again != noticed_.end()) {
            again->second = std::max(again->second, readable_[drive]);
        }
    }
    return watch_.Drives();
}

bool ReinfectionAlarm::Read(const std::wstring& drive) {
    // A command of the user's may run while the read yields: once it settled the drive, what was
    // read before is stale.
    const auto settlings = settlings_[drive];
    const auto stale = [&] { return settlings_[drive] != settlings; };
    // Most changes add or hide nothing (a file written, one deleted): then no file is read.
    std::vector<RootItem> root = ListRootItems(viewer_.files, drive, Pace());
    if (stale()) return false;
    if (!watch_.HasNews(drive, root)) return true;
    ReadLaunchBytes(viewer_.files, drive, root, Pace());
    if (stale()) return false;
    if (const auto warning = watch_.Changed(drive, root, Pace())) {
        viewer_.messages.Warn(*warning);
        return true;
    }
    // What came back within the drive's quiet minute is told once the minute ends.
    const auto quietUntil = watch_.QuietUntil(drive);
    if (quietUntil && *quietUntil > viewer_.clock.Now() && watch_.HasNews(drive, root)) {
        noticed_[drive] = *quietUntil;
    }
    return true;
}

std::vector<std::wstring> ReinfectionAlarm::DrivesChanged() {
    for (const std::wstring& drive : watch_.Drives()) {
        if (!listing_.StillHolds(drive)) watch_.Forget(drive);
    }
    return watch_.Drives();
}

std::optional<Clock::TimePoint> ReinfectionAlarm::NextLook() const {
    std::optional<Clock::TimePoint> next;
    for (const auto& [drive, when] : noticed_) {
        if (!next || when < *next) next = when;
    }
    return next;
}

// The window keeps answering while a large root is read.
BetweenItems ReinfectionAlarm::Pace() {
    return [pace = AnsweringPace(viewer_.pump, viewer_.clock)]() mutable { pace.Between(); };
}
