#include "operations/Unhide.h"

#include <algorithm>

#include "listing/AnsweringPace.h"
#include "listing/PathText.h"
#include "operations/FailureMessage.h"

namespace {

constexpr wchar_t kNotChanged[] = L"No se pudieron cambiar los atributos de estos elementos:";
constexpr Attributes kHiddenAndSystem = attributes::kHidden | attributes::kSystem;

// Folders the system itself keeps hidden in a drive's root.
bool IsTheSystemsOwn(const std::wstring& path) {
    const std::wstring_view name = LastComponent(path);
    return SameLetters(name, L"System Volume Information") || SameLetters(name, L"$RECYCLE.BIN");
}

std::wstring LineDrive(const std::wstring& path) { return path.substr(0, 2); }

}  // namespace

Unhide::Unhide(Viewer& viewer, RootListing& listing) : viewer_(viewer), listing_(listing) {}

bool Unhide::CanShowMarked() const {
    const EntryList& list = viewer_.lstViewer;
    for (int line = 0; line < list.ListCount(); ++line) {
        if (list.Selected(line)) return true;
    }
    return false;
}

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

// The count is read afresh at every step: the walk yields, and it must never step outside a list
// that changed meanwhile.
void Unhide::ShowMarkedEntries() {
    lastChanges_.clear();
    lastChangedLines_.clear();
    std::vector<ItemFailure> failures;
    ListedDriveCheck drives(viewer_.files);
    EntryList& list = viewer_.lstViewer;
    for (int line = 0; line < list.ListCount(); ++line) {
        viewer_.pump.DoEvents();
        if (line >= list.ListCount() || !list.Selected(line)) continue;
        list.SetListIndex(line);
        viewer_.pump.DoEvents();
        if (line < list.ListCount() && list.Selected(line)) ShowLine(line, drives, failures);
    }
    listing_.Refresh();
    Report(failures);
}

void Unhide::ShowLine(int line, ListedDriveCheck& drives, std::vector<ItemFailure>& failures) {
    const std::wstring path = viewer_.lstViewer.List(line);
    if (IsTheSystemsOwn(path) || !drives.IsListed(LineDrive(path))) return;
    AnsweringPace pace(viewer_.pump);
    AttributeReport report = viewer_.files.ClearAttributes(path, kHiddenAndSystem, [&pace] { pace.Between(); });
    if (!report.changes.empty()) lastChangedLines_.push_back(path);
    lastChanges_.insert(lastChanges_.end(), report.changes.begin(), report.changes.end());
    failures.insert(failures.end(), report.failures.begin(), report.failures.end());
}

// Inner entries first, as they were changed last, so that a folder gets its own back last.
void Unhide::UndoLastChange() {
    std::vector<ItemFailure> failures;
    FileSystemService& files = viewer_.files;
    AnsweringPace pace(viewer_.pump);
    for (auto change = lastChanges_.rbegin(); change != lastChanges_.rend(); ++change) {
        pace.Between();
        if (!files.GetAttributes(change->path)) continue;  // gone since: nothing to give back
        if (const auto error = files.SetAttributes(change->path, change->before)) {
            failures.push_back({change->path, error});
        }
    }
    lastChanges_.clear();
    lastChangedLines_.clear();
    Report(failures);
}

void Unhide::Report(const std::vector<ItemFailure>& failures) {
    if (!failures.empty()) viewer_.messages.Warn(FailureMessage(kNotChanged, failures));
}
