#include "Unhide.h"

#include <algorithm>

#include "AnsweringPace.h"
#include "FailureMessage.h"
#include "Marking.h"
#include "PathText.h"
#include "Suspicion.h"

namespace {

constexpr wchar_t kNotChanged[] = L"No se pudieron cambiar los atributos de estos elementos:";
constexpr wchar_t kAnotherStick[] = L"La memoria ya no es la misma: no se deshizo ningún cambio.";
constexpr Attributes kHiddenAndSystem = attributes::kHidden | attributes::kSystem;

}  // namespace

Unhide::Unhide(Viewer& viewer, RootListing& listing) : viewer_(viewer), listing_(listing) {}

bool Unhide::CanShowMarked() const { return MarkedCount(viewer_.lstViewer) > 0; }

bool Unhide::CanUndo() const {
    const EntryList& list = viewer_.lstViewer;
    for (int line = 0; line < list.ListCount(); ++line) {
        const std::wstring text = list.List(line);
        if (std::find(lastChangedLines_.begin(), lastChangedLines_.end(), text) != lastChangedLines_.end()) {
            return true;
        }
    }
    return false;
}

void Unhide::ShowMarkedEntries() {
    lastChanges_.clear();
    lastChangedLines_.clear();
    lastVolumes_.clear();
    std::vector<ItemFailure> failures;
    ForEachMarkedLine(viewer_, MarkedWalk::ShowingEachLine, [&](int line) {
        ShowLine(viewer_.lstViewer.List(line), failures);
        return LineAfter::Stays;
    });
    listing_.Refresh();
    Report(failures);
}

void Unhide::ShowLine(const std::wstring& path, std::vector<ItemFailure>& failures) {
    const std::wstring drive = LineDrive(path);
    if (IsTheSystemsOwn(LastComponent(path)) || !listing_.StillHolds(drive)) return;
    lastVolumes_[drive] = *listing_.ListedVolume(drive);
    AnsweringPace pace(viewer_.pump, viewer_.clock);
    AttributeReport report = viewer_.files.ClearAttributes(path, kHiddenAndSystem, [&pace] { pace.Between(); });
    if (!report.changes.empty()) lastChangedLines_.push_back(path);
    lastChanges_.insert(lastChanges_.end(), report.changes.begin(), report.changes.end());
    failures.insert(failures.end(), report.failures.begin(), report.failures.end());
}

// Inner entries first, as they were changed last, so that a folder gets its own back last.
void Unhide::UndoLastChange() {
    FileSystemService& files = viewer_.files;
    for (const auto& [drive, volume] : lastVolumes_) {
        if (files.VolumeOf(drive) != volume) return viewer_.messages.Warn(kAnotherStick);
    }
    std::vector<ItemFailure> failures;
    AnsweringPace pace(viewer_.pump, viewer_.clock);
    for (auto change = lastChanges_.rbegin(); change != lastChanges_.rend(); ++change) {
        pace.Between();
        const std::error_code error = files.RestoreAttributes(*change);
        // Gone since: nothing to give back.
        if (error && error != std::errc::no_such_file_or_directory) failures.push_back({change->path, error});
    }
    lastChanges_.clear();
    lastChangedLines_.clear();
    lastVolumes_.clear();
    Report(failures);
}

void Unhide::Report(const std::vector<ItemFailure>& failures) {
    if (!failures.empty()) viewer_.messages.Warn(FailureMessage(kNotChanged, failures));
}
