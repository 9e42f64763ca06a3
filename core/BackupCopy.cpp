#include "BackupCopy.h"

#include <cmath>

#include "AnsweringPace.h"
#include "FailureMessage.h"
#include "PathText.h"
#include "VelquorError.h"

namespace {

constexpr wchar_t kNothingMarked[] = L"Por favor, marque al menos un archivo para poder copiar";
constexpr wchar_t kPickerTitle[] = L"Por favor, seleccione ruta de destino.";
constexpr wchar_t kAreYouSure[] = L"Estás seguro de que desea copiar los archivos seleccionados?";
constexpr wchar_t kPleaseWait[] = L"Espera Un Momento...";
constexpr wchar_t kCopyEnded[] = L"Dravello";
constexpr wchar_t kCompleted[] = L"% Completed";
constexpr wchar_t kNotCopied[] = L"No se pudieron copiar estos elementos:";

// Why the entry of a marked line cannot be reached: gone since the listing, or still in its root
// under a name the platform cannot open it by (Wine lists "a?b.txt" from a Unix disk, but opens
// no such name).
std::error_code WhyUnreachable(FileSystemService& files, const std::wstring& line) {
    bool listed = false;
    files.ForEachRootEntry(LineDrive(line), [&](const std::wstring& path, Attributes) { listed = listed || path == line; });
    return listed ? VelquorError::NotOpenedByExactName : VelquorError::EntryGone;
}

}  // namespace

std::wstring WithTrailingBackslash(const std::wstring& path) {
    return path.ends_with(L'\\') ? path : path + L'\\';
}

std::wstring ProgressText(int copiedCount, int markedCount) {
    // nearbyint, in the default rounding mode, takes a half-way value to the even neighbour.
    const double percent = std::nearbyint(static_cast<double>(copiedCount) / markedCount * 100);
    return std::to_wstring(static_cast<long long>(percent)) + kCompleted;
}

BackupCopy::BackupCopy(Viewer& viewer) : viewer_(viewer) {}

void BackupCopy::cmdCopy_Click() {
    MarkedCount = ::MarkedCount(viewer_.lstViewer);
    if (MarkedCount < 1) {
        viewer_.messages.Warn(kNothingMarked);
        return;
    }
    DestinationPath = viewer_.folders.ChooseFolder(L"", kPickerTitle);
    if (IsBlank(DestinationPath)) return;
    viewer_.caption.SetText(DestinationPath);
    if (!viewer_.messages.AskYesNo(kAreYouSure)) return;
    const std::vector<ItemFailure> failures = CopyMarkedLines();
    viewer_.caption.SetText(kCopyEnded);
    viewer_.picCopy.Hide();
    CopiedCount = 0;
    if (!failures.empty()) viewer_.messages.Warn(FailureMessage(kNotCopied, failures));
}

std::vector<ItemFailure> BackupCopy::CopyMarkedLines() {
    std::vector<ItemFailure> failures;
    CopyRun run;
    CopiedCount = 0;
    // Shown for the whole walk: nothing else sets the caption meanwhile.
    viewer_.caption.SetText(kPleaseWait);
    ForEachMarkedLine(viewer_, MarkedWalk::Plain, [&](int line) {
        CopyLine(viewer_.lstViewer.List(line), run, failures);
        return LineAfter::Stays;
    });
    return failures;
}

void BackupCopy::CopyLine(const std::wstring& source, CopyRun& run, std::vector<ItemFailure>& failures) {
    FileSystemService& files = viewer_.files;
    const bool isFile = files.FileExists(source);
    if (!isFile && !files.FolderExists(source)) {
        failures.push_back({source, WhyUnreachable(files, source)});
        return;
    }
    viewer_.pump.DoEvents();
    ++CopiedCount;
    ShowProgress();
    const auto name = files.Name(source);
    if (!name) {
        failures.push_back({source, WhyUnreachable(files, source)});
        return;
    }
    const std::wstring target = WithTrailingBackslash(DestinationPath) + *name;
    // A large file or tree would otherwise hold the window still until it is copied.
    AnsweringPace pace(viewer_.pump, viewer_.clock);
    const BetweenItems between = [&pace] { pace.Between(); };
    if (isFile) {
        if (const auto error = files.CopyFile(source, target, true, run, between)) failures.push_back({source, error});
        return;
    }
    const TreeReport report = files.CopyFolder(source, target, true, run, between);
    failures.insert(failures.end(), report.failures.begin(), report.failures.end());
}

void BackupCopy::ShowProgress() {
    viewer_.picCopy.BringToFront();
    viewer_.picCopy.Show();
    viewer_.lblCopySt.SetText(ProgressText(CopiedCount, MarkedCount));
}
