// Times the main window's commands against bare walks doing the same file-system work with the
// same yields (or against the system's own command), measured in the same run, while another
// process sends the window a message every 20 ms; and the program's start-up and memory.
//   velquor_wine_bench LISTING_DRIVE WORK_DRIVE VELQUOR_EXE
// LISTING_DRIVE: a removable drive holding only files; WORK_DRIVE: an empty removable drive, for the
// deletions and the backup copy.

#include "Win32Api.h"

#include <commctrl.h>

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "ComApartment.h"
#include "DoEvents.h"
#include "frmViewer.h"
#include "BenchSupport.h"
#include "Win32FileSystemService.h"

namespace {

constexpr int kListingRounds = 5;
constexpr int kDeletionRounds = 3;
constexpr int kMarkedFiles = 5000;
constexpr int kTreeFolders = 200;
constexpr int kTreeFilesEach = 100;
constexpr int kCopyRounds = 5;
constexpr int kCopyFolders = 50;
constexpr int kCopyFilesEach = 20;
constexpr DWORD kChunk = 1024 * 1024;
constexpr int kLargeFileChunks = 256;

// The world outside the window as a user who says Yes to everything and picks `destination`.
class YesToEverything final : public MessageBoxes, public FolderChooser, public SystemCalls {
public:
    void Warn(const std::wstring&) override {}
    void Inform(const std::wstring&) override {}
    bool AskYesNo(const std::wstring&) override { return true; }
    std::wstring ChooseFolder(const std::wstring&, const std::wstring&) override { return destination; }
    void OpenWebPage(HWND, const wchar_t*) override {}
    void EndProgram() override {}

    std::wstring destination;
};

// One measure over the rounds: the command through the window and its reference, timed back to
// back in each round, and the other process's answers while the command ran.
struct Measure {
    std::vector<double> references;
    std::vector<double> commands;
    std::vector<double> ratios;
    AnswerTally answers;

    void Add(double reference, double command, const Pinger::Answers& heard) {
        references.push_back(reference);
        commands.push_back(command);
        ratios.push_back(command / reference);
        answers.Add(heard);
    }
};

constexpr POINT CentreOf(Rect rect) { return {rect.left + rect.width / 2, rect.top + rect.height / 2}; }

// A click on a hot spot as the mouse gives it; sent (returning once handled) or posted.
void ClickAt(HWND window, POINT spot, bool post) {
    const LPARAM at = MAKELPARAM(spot.x, spot.y);
    if (post) {
        ::PostMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
        ::PostMessageW(window, WM_LBUTTONUP, 0, at);
        return;
    }
    ::SendMessageW(window, WM_LBUTTONDOWN, MK_LBUTTON, at);
    ::SendMessageW(window, WM_LBUTTONUP, 0, at);
}

// Runs a command of the window while another process pings it; the seconds until it was done.
template <class Command> double TimedCommand(HWND window, Command command, Pinger::Answers& heard) {
    Pinger pinger(window);
    const auto start = Steady::now();
    command();
    const double seconds = SecondsSince(start);
    heard = pinger.Stop();
    return seconds;
}

// Clicks a hot spot while another process pings the window; the seconds until the command was done.
double TimedClick(HWND window, Rect spot, Pinger::Answers& heard) {
    return TimedCommand(window, [&] { ClickAt(window, CentreOf(spot), false); }, heard);
}

// The main window, shown, with the world outside it saying Yes.
class ShownWindow {
public:
    explicit ShownWindow(std::wstring destination = {}) : window_(::GetModuleHandleW(nullptr), system_, system_, system_) {
        system_.destination = std::move(destination);
        window_.Create();
        window_.Show(SW_SHOWNORMAL);
        DoEvents();
    }
    frmViewer& operator*() { return window_; }
    frmViewer* operator->() { return &window_; }

private:
    YesToEverything system_;
    frmViewer window_;
};

std::vector<std::wstring> Lines(EntryList& list) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < list.ListCount(); ++i) lines.push_back(list.List(i));
    return lines;
}

// The references. Each does the file-system work of the command with its yields, showing nothing.

// "VER ARCHIVOS Y CARPETAS": the folders, then the files of the drive's root, a yield per entry.
double BareListingSeconds(const std::wstring& drive, int& entries) {
    win32::FileSystemService files;
    entries = 0;
    const auto start = Steady::now();
    for (const bool folders : {true, false}) {
        files.ForEachRootEntry(drive, [&](const std::wstring&, Attributes attributes) {
            const bool isFolder = (attributes & attributes::kFolder) != 0;
            if (isFolder != folders) return;
            DoEvents();
            ++entries;
        });
    }
    return SecondsSince(start);
}

// "SELECCIONAR TODO": the facts the properties box reads of each entry, with its one yield.
double BarePropertiesSeconds(const std::vector<std::wstring>& paths) {
    win32::FileSystemService files;
    const auto start = Steady::now();
    for (const std::wstring& path : paths) {
        if (!files.FileExists(path) || !files.FileSize(path)) continue;
        DoEvents();
        files.DateCreated(path);
        files.TypeName(path);
    }
    return SecondsSince(start);
}

// "BORRAR ARCHIVO(S)": a yield per line, two more per marked line (the walk's second and the
// properties box's), the deletion of each marked file, then the relisting's walk with its yields.
double BareDeletionSeconds(const std::wstring& drive, const std::vector<std::wstring>& lines,
                           const std::vector<bool>& marked) {
    win32::FileSystemService files;
    const auto start = Steady::now();
    for (size_t line = 0; line < lines.size(); ++line) {
        DoEvents();
        if (!marked[line]) continue;
        DoEvents();
        DoEvents();
        if (files.FileExists(lines[line])) files.DeleteFile(lines[line], true);
    }
    files.ForEachRootEntry(drive, [](const std::wstring&, Attributes attributes) {
        const bool isFolder = (attributes & attributes::kFolder) != 0;
        if (!isFolder) DoEvents();
    });
    return SecondsSince(start);
}

// "Marcar lo sospechoso" and "Marcar lo ocultado": the attributes of every entry of the root, from
// its listing, the bytes of each shortcut, and a yield for each.
double BareSuspicionReadsSeconds(const std::wstring& drive) {
    win32::FileSystemService files;
    const auto start = Steady::now();
    std::vector<std::wstring> shortcuts;
    files.ForEachRootEntry(drive, [&](const std::wstring& path, Attributes) {
        DoEvents();
        if (path.ends_with(L".lnk")) shortcuts.push_back(path);
    });
    FileBytes bytes;
    for (const std::wstring& shortcut : shortcuts) {
        DoEvents();
        files.ReadFileBytes(shortcut, kMostFileBytes + 1, bytes);
    }
    return SecondsSince(start);
}

// Every so many lines of the list, spread over it, kMarkedFiles in all.
std::vector<bool> SpreadMarks(int lines) {
    std::vector<bool> marked(static_cast<size_t>(lines), false);
    for (int i = 0; i < kMarkedFiles; ++i) marked[static_cast<size_t>(i) * lines / kMarkedFiles] = true;
    return marked;
}

bool RemakeFiles(const std::vector<std::wstring>& lines) {
    for (const std::wstring& path : lines) {
        if (!Exists(path) && !MakeSmallFile(path)) return false;
    }
    return true;
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = L"";
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &length);
    return text;
}

// The measures of the listing and of what follows it on the same window.
struct ListingMeasures {
    Measure listing;
    Measure selectAll;
    Measure listingWithMonitor;
    Measure markSuspicious;
    Measure markHidden;
    int suspiciousMarked = 0;
    bool countAheadOfLines = false;  // the status line once told a count the list did not hold
};

// How many lines the status line tells, and how many the list view itself holds.
bool CountAndLinesAgree(frmViewer& window) {
    const int lines = ListView_GetItemCount(window.lstViewer().hWnd());
    return TextOf(window.lblStatus()).starts_with(std::to_wstring(lines) + L" ");
}

int MarkedLines(frmViewer& window) {
    int marked = 0;
    for (int line = 0; line < window.lstViewer().ListCount(); ++line) marked += window.lstViewer().Selected(line);
    return marked;
}

int MeasureListingRound(const std::wstring& drive, int& entries, ListingMeasures& measures) {
    ShownWindow window;
    Pinger::Answers heard;
    const double bareWalk = BareListingSeconds(drive, entries);
    measures.listing.Add(bareWalk, TimedClick(window->hWnd(), layout::frmViewer::mvSALL, heard), heard);
    measures.countAheadOfLines = measures.countAheadOfLines || !CountAndLinesAgree(*window);

    // The marks are shown once the list has drawn them.
    const auto markAndShow = [&](void (frmViewer::*command)()) {
        return [&, command] {
            ((*window).*command)();
            window->lstViewer().ShowAllLines();
        };
    };
    const double suspicionReads = BareSuspicionReadsSeconds(drive);
    measures.markSuspicious.Add(suspicionReads,
                                TimedCommand(window->hWnd(), markAndShow(&frmViewer::mnuMarkSuspicious_Click), heard), heard);
    measures.suspiciousMarked = MarkedLines(*window);
    const double hiddenReads = BareSuspicionReadsSeconds(drive);
    measures.markHidden.Add(hiddenReads, TimedCommand(window->hWnd(), markAndShow(&frmViewer::mnuMarkHidden_Click), heard),
                            heard);

    const double bareReads = BarePropertiesSeconds(Lines(window->lstViewer()));
    measures.selectAll.Add(bareReads, TimedClick(window->hWnd(), layout::frmViewer::cmdSelAll, heard), heard);

    // Against the bare walk without it: the monitor's ticks run inside every yield of the listing.
    const double walkAgain = BareListingSeconds(drive, entries);
    ClickAt(window->hWnd(), CentreOf(layout::frmViewer::Image2), false);
    if (!window->monitor()) return -1;
    measures.listingWithMonitor.Add(walkAgain, TimedClick(window->hWnd(), layout::frmViewer::mvSALL, heard), heard);
    DoEvents();
    return window->lstViewer().ListCount();
}

// Deletes kMarkedFiles files spread over the listed drive, bare and through the window, putting
// them back after each.
bool MeasureMarkedDeletion(const std::wstring& drive, Measure& deletion) {
    // The bare walk runs with no window open: an open one would watch the drive and read its
    // root inside the walk's yields.
    const std::vector<std::wstring> lines = [] {
        ShownWindow window;
        ClickAt(window->hWnd(), CentreOf(layout::frmViewer::mvSFLS), false);
        return Lines(window->lstViewer());
    }();
    const std::vector<bool> marked = SpreadMarks(static_cast<int>(lines.size()));
    const double bare = BareDeletionSeconds(drive, lines, marked);
    if (!RemakeFiles(lines)) return false;

    ShownWindow window;
    ClickAt(window->hWnd(), CentreOf(layout::frmViewer::mvSFLS), false);
    for (size_t line = 0; line < lines.size(); ++line) window->lstViewer().SetSelected(static_cast<int>(line), marked[line]);
    Pinger::Answers heard;
    const double command = TimedClick(window->hWnd(), layout::frmViewer::cmdDeleteSel, heard);
    deletion.Add(bare, command, heard);
    const bool allGone = window->lstViewer().ListCount() == static_cast<int>(lines.size()) - kMarkedFiles;
    return RemakeFiles(lines) && allGone;
}

// Deletes a large marked folder through the window against `rmdir /s /q` of an identical tree,
// alternating which goes first.
bool MeasureFolderDeletion(const std::wstring& drive, int round, Measure& deletion) {
    const std::wstring byWindow = drive + L"\\arbol";
    const std::wstring byRmdir = drive + L"\\arbol-rmdir";
    if (!MakeTree(byWindow, kTreeFolders, kTreeFilesEach) || !MakeTree(byRmdir, kTreeFolders, kTreeFilesEach)) {
        return false;
    }
    ShownWindow window;
    ClickAt(window->hWnd(), CentreOf(layout::frmViewer::mvSFLD), false);
    for (int line = 0; line < window->lstViewer().ListCount(); ++line) {
        window->lstViewer().SetSelected(line, window->lstViewer().List(line) == byWindow);
    }
    const auto rmdir = [&] { return CommandSeconds(L"cmd /c rmdir /s /q \"" + byRmdir + L"\""); };
    Pinger::Answers heard;
    const double first = round % 2 == 0 ? rmdir() : 0;
    const double command = TimedClick(window->hWnd(), layout::frmViewer::cmdDeleteSel, heard);
    const double reference = round % 2 == 0 ? first : rmdir();
    deletion.Add(reference, command, heard);
    return reference > 0 && !Exists(byWindow) && !Exists(byRmdir);
}

// A backup's worth of files: small documents in folders and one large film.
bool MakeCopyTree(const std::wstring& top) {
    static constexpr char kSmall[] = "contenido de prueba, una copia de seguridad pequeña\r\n";
    std::vector<char> large(kChunk);
    for (DWORD i = 0; i < kChunk; ++i) large[i] = static_cast<char>(i * 7);
    if (!::CreateDirectoryW(top.c_str(), nullptr)) return false;
    for (int folder = 0; folder < kCopyFolders; ++folder) {
        const std::wstring path = top + L"\\carpeta" + std::to_wstring(folder);
        if (!::CreateDirectoryW(path.c_str(), nullptr)) return false;
        for (int file = 0; file < kCopyFilesEach; ++file) {
            const std::wstring name = path + L"\\archivo" + std::to_wstring(file) + L".txt";
            if (!MakeFileOfChunks(name, kSmall, sizeof kSmall - 1, 1)) return false;
        }
    }
    return MakeFileOfChunks(top + L"\\pelicula.bin", large.data(), kChunk, kLargeFileChunks);
}

// A copy with every file: the large one whole, and the last small file of the last folder.
bool IsWholeCopy(const std::wstring& copy) {
    const std::wstring last = copy + L"\\carpeta" + std::to_wstring(kCopyFolders - 1) + L"\\archivo" +
                              std::to_wstring(kCopyFilesEach - 1) + L".txt";
    return SizeOf(copy + L"\\pelicula.bin") == std::uint64_t{kChunk} * kLargeFileChunks && SizeOf(last) > 0;
}

// Removes what an earlier copy left in folder and makes it anew, empty.
bool Emptied(const std::wstring& folder) {
    CommandSeconds(L"cmd /c rmdir /s /q \"" + folder + L"\"");
    return ::CreateDirectoryW(folder.c_str(), nullptr) != FALSE;
}

// Copies a marked folder through the window against `xcopy /e /i /h /y` of the same folder, both
// into empty folders of the same drive, alternating which goes first. Each empties its own folder
// just before it copies, so that both start alike: here the 256 MB file was written in 0.1 s
// right after the earlier copy was removed, and in 0.5 s when the copy began 1.5 s later.
bool MeasureCopy(const std::wstring& drive, int round, Measure& copy) {
    const std::wstring source = drive + L"\\respaldo";
    const std::wstring byWindow = drive + L"\\destino";
    const std::wstring byXcopy = drive + L"\\destino-xcopy";
    ShownWindow window(byWindow);
    ClickAt(window->hWnd(), CentreOf(layout::frmViewer::mvSFLD), false);
    for (int line = 0; line < window->lstViewer().ListCount(); ++line) {
        window->lstViewer().SetSelected(line, window->lstViewer().List(line) == source);
    }
    Pinger::Answers heard;
    const auto throughTheWindow = [&] {
        return Emptied(byWindow) ? TimedClick(window->hWnd(), layout::frmViewer::cmdCopy, heard) : -1;
    };
    const auto xcopy = [&] {
        return Emptied(byXcopy) ? CommandSeconds(L"xcopy /e /i /h /y \"" + source + L"\" \"" + byXcopy +
                                                 L"\\respaldo\"")
                                : -1;
    };
    double reference = 0;
    double command = 0;
    if (round % 2 == 0) {
        reference = xcopy();
        command = throughTheWindow();
    } else {
        command = throughTheWindow();
        reference = xcopy();
    }
    copy.Add(reference, command, heard);
    return reference > 0 && command > 0 && IsWholeCopy(byWindow + L"\\respaldo") &&
           IsWholeCopy(byXcopy + L"\\respaldo");
}

struct ProgramRun {
    double startSeconds = -1;
    double idleMegabytes = 0;
    double listedMegabytes = 0;
};

// Starts the program, waits until its window is shown and idle, lists the drives with "VER
// ARCHIVOS Y CARPETAS", reads its memory at each stage, and ends it.
ProgramRun RunProgram(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    const auto start = Steady::now();
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return {};
    }
    const win32::UniqueKernelHandle process{started.hProcess};
    const win32::UniqueKernelHandle thread{started.hThread};
    ::WaitForInputIdle(process.Get(), 30000);
    HWND window = nullptr;
    while (!window && SecondsSince(start) < 30) {
        window = ::FindWindowW(L"VelquorViewer", nullptr);
        if (!window) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    ProgramRun run;
    // A window that answers a message after showing itself has painted: painting comes first
    // once its queue is empty.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
    run.startSeconds = window ? SecondsSince(start) : -1;
    run.idleMegabytes = PeakWorkingSetMegabytes(process.Get());

    HWND status = ::FindWindowExW(window, nullptr, L"Static", nullptr);  // lblStatus, the first label
    ClickAt(window, CentreOf(layout::frmViewer::mvSALL), true);
    const auto listing = Steady::now();
    while (TextOf(status).find(L"Encontradas!") == std::wstring::npos && SecondsSince(listing) < 120) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
    run.listedMegabytes = PeakWorkingSetMegabytes(process.Get());
    ::TerminateProcess(process.Get(), 0);
    ::WaitForSingleObject(process.Get(), 10000);
    return run;
}

// One line of the table for a measure, and one for the answers heard meanwhile.
void PrintMeasure(const std::wstring& what, const std::wstring& reference, const Measure& measure,
                  const wchar_t* target) {
    std::wprintf(L"| %ls | %.2f s, median of %zu | %ls: %.2f s | %.2fx (rounds: %ls) | %ls |\n", what.c_str(),
                 Median(measure.commands), measure.commands.size(), reference.c_str(), Median(measure.references),
                 Median(measure.ratios), RoundList(measure.ratios).c_str(), target);
    std::wprintf(L"| Slowest answer to another process's message (one every 20 ms) meanwhile | %.1f ms; "
                 L"%lld of %lld over 100 ms | - | - | <= 100 ms |\n",
                 measure.answers.slowestMs, measure.answers.over100Ms, measure.answers.messages);
}

// A line on stderr as each round ends: the whole run takes many minutes.
void Progress(const wchar_t* what, int round) {
    std::fwprintf(stderr, L"%ls: round %d done\n", what, round + 1);
    std::fflush(stderr);
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 4) {
        std::fwprintf(stderr, L"usage: velquor_wine_bench LISTING_DRIVE DELETION_DRIVE VELQUOR_EXE\n");
        return 2;
    }
    const ComApartment com;
    const std::wstring listingDrive = argv[1];
    const std::wstring workDrive = argv[2];

    // Each round times a command and its reference back to back, so its ratio compares like with
    // like; the machine's speed drifts between rounds by a fifth or more.
    int entries = 0;
    int lines = 0;
    ListingMeasures listings;
    for (int round = 0; round < kListingRounds; ++round) {
        lines = MeasureListingRound(listingDrive, entries, listings);
        Progress(L"listing and marking", round);
    }
    Measure markedDeletion;
    Measure folderDeletion;
    for (int round = 0; round < kDeletionRounds; ++round) {
        if (!MeasureMarkedDeletion(listingDrive, markedDeletion) || !MeasureFolderDeletion(workDrive, round, folderDeletion)) {
            std::fwprintf(stderr, L"round %d: a deletion did not go as it should\n", round);
            return 1;
        }
        Progress(L"deletion", round);
    }
    Measure copy;
    if (!MakeCopyTree(workDrive + L"\\respaldo")) {
        std::fwprintf(stderr, L"could not make the tree to copy on %ls\n", workDrive.c_str());
        return 1;
    }
    // A first round, not counted, leaves an earlier copy in both folders, as every later one finds.
    Measure warmUp;
    for (int round = 0; round <= kCopyRounds; ++round) {
        if (!MeasureCopy(workDrive, round, round == 0 ? warmUp : copy)) {
            std::fwprintf(stderr, L"round %d: a copy is not whole\n", round);
            return 1;
        }
        Progress(L"copy", round);
    }
    const ProgramRun program = RunProgram(argv[3]);

    const std::wstring count = std::to_wstring(entries);
    const std::wstring tree = std::to_wstring(kTreeFolders * kTreeFilesEach) + L" files in " +
                              std::to_wstring(kTreeFolders) + L" folders";
    if (listings.countAheadOfLines) std::fwprintf(stderr, L"the status line told a count the list did not hold\n");
    std::wprintf(L"| Measure | Result | Reference (same run) | Ratio | Target |\n");
    std::wprintf(L"|---|---|---|---|---|\n");
    PrintMeasure(L"\"VER ARCHIVOS Y CARPETAS\" on " + count + L" root entries, click to final count and every line in the list",
                 L"bare walks with " + count + L" yields", listings.listing, L"<= 1.25x");
    PrintMeasure(L"\"SELECCIONAR TODO\" on " + count + L" lines, click to line 0 current",
                 L"bare properties reads of " + count + L" entries, one yield each", listings.selectAll, L"<= 1.5x");
    PrintMeasure(L"\"VER ARCHIVOS Y CARPETAS\" again with the connection monitor open",
                 L"bare walks with " + count + L" yields, no monitor", listings.listingWithMonitor, L"<= 1.25x");
    PrintMeasure(L"\"Marcar lo sospechoso\" on " + count + L" root entries, " + std::to_wstring(listings.suspiciousMarked) +
                     L" of them shortcuts to cmd.exe, click to marks shown",
                 L"bare reads of every entry's attributes and each shortcut's bytes, one yield each",
                 listings.markSuspicious, L"<= 1.5x");
    PrintMeasure(L"\"Marcar lo ocultado\" on the same entries, click to marks shown",
                 L"the same bare reads", listings.markHidden, L"<= 1.5x");
    PrintMeasure(L"\"BORRAR ARCHIVO(S)\" of " + std::to_wstring(kMarkedFiles) + L" marked files among " + count +
                     L" lines, click to relisted",
                 L"bare walk deleting them and relisting, with the same yields", markedDeletion, L"<= 1.3x");
    PrintMeasure(L"\"BORRAR ARCHIVO(S)\" of a marked folder of " + tree + L", click to relisted",
                 L"cmd /c rmdir /s /q of the same tree", folderDeletion, L"<= 1.2x");
    PrintMeasure(L"\"COPIAR ARCHIVO(S)\" of a marked folder of " + std::to_wstring(kCopyFolders * kCopyFilesEach) +
                     L" small files in " + std::to_wstring(kCopyFolders) + L" folders and one " +
                     std::to_wstring(kLargeFileChunks) + L" MB file, click to done",
                 L"xcopy /e /i /h /y of the same folder", copy, L"<= 1.1x");
    std::wprintf(L"| Peak working set of velquor.exe after listing %d entries | %.1f MB | at start-up: %.1f MB "
                 L"| - | <= 40 MB |\n",
                 entries, program.listedMegabytes, program.idleMegabytes);
    std::wprintf(L"| Start-up to a painted, idle window | %.2f s | - | - | reported |\n", program.startSeconds);
    return lines == entries ? 0 : 1;
}
