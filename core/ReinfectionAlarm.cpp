#include "ReinfectionAlarm.h"

#include <algorithm>

#include "AnsweringPace.h"
#include "RootItems.h"

ReinfectionAlarm::ReinfectionAlarm(Viewer& viewer, RootListing& listing)
    : viewer_(viewer), listing_(listing), watch_(viewer.clock) {}

std::vector<std::wstring> ReinfectionAlarm::Settle() {
    const std::vector<std::wstring> listed = listing_.ListedDrives();
    for (const std::wstring& watched : watch_.Drives()) {
        if (std::find(listed.begin(), listed.end(), watched) == listed.end()) watch_.Forget(watched);
    }
    for (const std::wstring& drive : listed) watch_.Settle(drive, ListRootItems(viewer_.files, drive, Pace()));
    return listed;
}

std::vector<std::wstring> ReinfectionAlarm::RootsChanged(const std::set<std::wstring>& drives) {
    for (const std::wstring& drive : drives) {
        if (!watch_.Watches(drive)) continue;
        // A drive that went, or holds another stick, is watched again only once it is listed.
        if (!listing_.StillHolds(drive)) {
            watch_.Forget(drive);
            continue;
        }
        // Most changes add or hide nothing (a file written, one deleted): then no file is read.
        std::vector<RootItem> root = ListRootItems(viewer_.files, drive, Pace());
        if (!watch_.HasNews(drive, root)) continue;
        ReadLaunchBytes(viewer_.files, drive, root, Pace());
        if (const auto warning = watch_.Changed(drive, root)) viewer_.messages.Warn(*warning);
    }
    return watch_.Drives();
}

std::vector<std::wstring> ReinfectionAlarm::DrivesChanged() {
    for (const std::wstring& drive : watch_.Drives()) {
        if (!listing_.StillHolds(drive)) watch_.Forget(drive);
    }
    return watch_.Drives();
}

// The window keeps answering while a large root is read.
BetweenItems ReinfectionAlarm::Pace() {
    return [pace = AnsweringPace(viewer_.pump, viewer_.clock)]() mutable { pace.Between(); };
}
