// Times the main window's listing and "SELECCIONAR TODO" against bare walks with the same
// file-system calls and yields, how the window answers another process meanwhile, and the
// program's start-up and memory.
//   velquor_wine_bench DRIVE VELQUOR_EXE     (DRIVE: a removable drive holding only files)

#include "listing/Windows_win.h"

#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/ComApartment.h"
#include "app/DoEvents.h"
#include "app/frmViewer.h"
#include "bench/BenchSupport_win.h"
#include "listing/Win32FileSystemService_win.h"

namespace {

constexpr int kRounds = 5;

// The reference: the same two walks of the drives' roots as "VER ARCHIVOS Y CARPETAS" (folders,
// then files), with one yield per entry, and nothing shown.
double BareWalkSeconds(const std::wstring& drive, int& entries) {
    Win32FileSystemService files;
    entries = 0;
    const auto start = Clock::now();
    for (const bool folders : {true, false}) {
        files.ForEachRootEntry(drive, [&](const std::wstring&, bool isFolder) {
            if (isFolder != folders) return;
            DoEvents();
            ++entries;
        });
    }
    return SecondsSince(start);
}

// A click on a hot spot as the mouse gives it; sent (returning once handled) or posted.
// The reference for "SELECCIONAR TODO": the facts the properties box reads of each entry, with
// its one yield, and nothing shown.
double BarePropertiesSeconds(const std::vector<std::wstring>& paths) {
    Win32FileSystemService files;
    const auto start = Clock::now();
    for (const std::wstring& path : paths) {
        if (!files.FileExists(path) || !files.FileSize(path)) continue;
        DoEvents();
        files.DateCreated(path);
        files.TypeName(path);
    }
    return SecondsSince(start);
}

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

constexpr POINT CentreOf(Rect rect) { return {rect.left + rect.width / 2, rect.top + rect.height / 2}; }

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

// Clicks a hot spot of the window while another process pings it; the seconds until the command
// returned.
double TimedClick(HWND window, Rect spot, Pinger::Answers& heard) {
    Pinger pinger(window);
    const auto start = Clock::now();
    ClickAt(window, CentreOf(spot), false);  // returns once the command is done
    const double seconds = SecondsSince(start);
    heard = pinger.Stop();
    return seconds;
}

std::vector<std::wstring> Lines(EntryList& list) {
    std::vector<std::wstring> lines;
    for (int i = 0; i < list.ListCount(); ++i) lines.push_back(list.List(i));
    return lines;
}

// One round with the main window shown: each bare walk, then the same through the window, in the
// same state of the process (a thread with a visible window pays more for each yield than one
// without).
int MeasureRound(const std::wstring& drive, int& entries, Measure& listing, Measure& selectAll) {
    frmViewer window(::GetModuleHandleW(nullptr));
    window.Create();
    window.Show(SW_SHOWNORMAL);
    DoEvents();
    Pinger::Answers heard;

    const double bareWalk = BareWalkSeconds(drive, entries);
    const double listed = TimedClick(window.hWnd(), layout::frmViewer::mvSALL, heard);
    listing.Add(bareWalk, listed, heard);

    const double bareReads = BarePropertiesSeconds(Lines(window.lstViewer()));
    const double selected = TimedClick(window.hWnd(), layout::frmViewer::cmdSelAll, heard);
    selectAll.Add(bareReads, selected, heard);
    DoEvents();
    return window.lstViewer().ListCount();
}

std::wstring TextOf(HWND window) {
    wchar_t text[256] = L"";
    DWORD_PTR length = 0;
    ::SendMessageTimeoutW(window, WM_GETTEXT, 256, reinterpret_cast<LPARAM>(text), SMTO_NORMAL, 10000, &length);
    return text;
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
    const auto start = Clock::now();
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return {};
    }
    const UniqueKernelHandle process{started.hProcess};
    const UniqueKernelHandle thread{started.hThread};
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
    const auto listing = Clock::now();
    while (TextOf(status).find(L"Encontradas!") == std::wstring::npos && SecondsSince(listing) < 120) {
        std::this_thread::sleep_for(std::chrono::milliseconds(50));
    }
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
    run.listedMegabytes = PeakWorkingSetMegabytes(process.Get());
    ::TerminateProcess(process.Get(), 0);
    ::WaitForSingleObject(process.Get(), 10000);
    return run;
}

}  // namespace

// One line of the table for a measure: the median time of each, and the ratio of each round.
void PrintMeasure(const wchar_t* what, const wchar_t* reference, const Measure& measure, const wchar_t* target) {
    std::wprintf(L"| %ls | %.2f s, median of %zu | %ls: %.2f s | %.2fx (rounds: %ls) | %ls |\n", what,
                 Median(measure.commands), measure.commands.size(), reference, Median(measure.references),
                 Median(measure.ratios), RoundList(measure.ratios).c_str(), target);
    std::wprintf(L"| Slowest answer to another process's message (one every 20 ms) meanwhile | %.1f ms; "
                 L"%lld of %lld over 100 ms | - | - | <= 100 ms |\n",
                 measure.answers.slowestMs, measure.answers.over100Ms, measure.answers.messages);
}

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: velquor_wine_bench DRIVE VELQUOR_EXE\n");
        return 2;
    }
    const ComApartment com;
    const std::wstring drive = argv[1];

    // Each round times a command and its reference back to back, so its ratio compares like with
    // like; the machine's speed drifts between rounds by a fifth or more.
    int entries = 0;
    int lines = 0;
    Measure listing;
    Measure selectAll;
    for (int round = 0; round < kRounds; ++round) lines = MeasureRound(drive, entries, listing, selectAll);
    const ProgramRun program = RunProgram(argv[2]);

    const std::wstring entriesText = std::to_wstring(entries);
    std::wprintf(L"| Measure | Result | Reference (same run) | Ratio | Target |\n");
    std::wprintf(L"|---|---|---|---|---|\n");
    PrintMeasure((L"\"VER ARCHIVOS Y CARPETAS\" on " + entriesText + L" root entries, click to final count").c_str(),
                 (L"bare walks with " + entriesText + L" yields").c_str(), listing, L"<= 1.25x");
    PrintMeasure((L"\"SELECCIONAR TODO\" on " + entriesText + L" lines, click to line 0 current").c_str(),
                 (L"bare properties reads of " + entriesText + L" entries, one yield each").c_str(), selectAll,
                 L"<= 1.5x");
    std::wprintf(L"| Peak working set of velquor.exe after listing %d entries | %.1f MB | at start-up: %.1f MB "
                 L"| - | <= 40 MB |\n",
                 entries, program.listedMegabytes, program.idleMegabytes);
    std::wprintf(L"| Start-up to a painted, idle window | %.2f s | - | - | reported |\n", program.startSeconds);
    return lines == entries ? 0 : 1;
}
