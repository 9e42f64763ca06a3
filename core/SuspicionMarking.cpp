#include "SuspicionMarking.h"

#include <vector>

#include "AnsweringPace.h"
#include "PathText.h"
#include "RootItems.h"

namespace {

std::wstring MarkedText(int count, const wchar_t* none, const wchar_t* what, const wchar_t* next) {
    if (count == 0) return none;
    if (count == 1) return std::wstring(L"Se marcó 1 elemento ") + what + L". " + next;
    return L"Se marcaron " + std::to_wstring(count) + L" elementos " + what + L"s. " + next;
}

}  // namespace

SuspicionMarking::SuspicionMarking(Viewer& viewer, RootListing& listing) : viewer_(viewer), listing_(listing) {}

void SuspicionMarking::MarkSuspicious() {
    JudgeListedDrives();
    std::set<std::wstring> lines;
    for (const auto& [line, suspicion] : suspicious_) lines.insert(line);
    const int marked = MarkExactly(lines);
    viewer_.messages.Inform(MarkedText(marked, L"No se encontró nada sospechoso.", L"sospechoso",
                                       marked == 1 ? L"Pase el puntero sobre él para ver por qué."
                                                   : L"Pase el puntero sobre cada uno para ver por qué."));
}

void SuspicionMarking::MarkHidden() {
    JudgeListedDrives();
    const int marked = MarkExactly(hidden_);
    viewer_.messages.Inform(MarkedText(marked, L"No se encontró nada oculto.", L"oculto",
                                       marked == 1 ? L"Para volver a verlo, elija «Mostrar elementos marcados» en este mismo menú."
                                                   : L"Para volver a verlos, elija «Mostrar elementos marcados» en este mismo menú."));
}

std::optional<Suspicion> SuspicionMarking::SuspicionOf(const std::wstring& line) const {
    if (judgedListing_ != listing_.Generation()) return std::nullopt;
    const auto found = suspicious_.find(line);
    if (found == suspicious_.end()) return std::nullopt;
    return found->second;
}

void SuspicionMarking::JudgeListedDrives() {
    suspicious_.clear();
    hidden_.clear();
    judgedListing_ = listing_.Generation();
    const EntryList& list = viewer_.lstViewer;
    AnsweringPace pace(viewer_.pump, viewer_.clock);
    const BetweenItems between = [&pace] { pace.Between(); };
    std::set<std::wstring> drives;
    for (int line = 0; line < list.ListCount(); ++line) {
        drives.insert(LineDrive(list.List(line)));
        between();
    }
    for (const std::wstring& drive : drives) {
        if (!listing_.StillHolds(drive)) continue;
        const std::vector<RootItem> root = ReadRootItems(viewer_.files, drive, between);
        const auto judged = JudgeRoot(root, between);
        for (size_t i = 0; i < root.size(); ++i) {
            if (judged[i]) suspicious_.emplace(drive + L'\\' + root[i].name, *judged[i]);
            if (IsHiddenFromTheUser(root[i], judged[i])) hidden_.insert(drive + L'\\' + root[i].name);
            between();
        }
    }
}

// The list may have changed during the yields of the reading: the count is read afresh.
int SuspicionMarking::MarkExactly(const std::set<std::wstring>& marked) {
    EntryList& list = viewer_.lstViewer;
    AnsweringPace pace(viewer_.pump, viewer_.clock);
    int count = 0;
    for (int line = 0; line < list.ListCount(); ++line) {
        const bool mark = marked.contains(list.List(line));
        if (list.Selected(line) != mark) list.SetSelected(line, mark);
        count += mark ? 1 : 0;
        pace.Between();
    }
    return count;
}
