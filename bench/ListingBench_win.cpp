// Times the main window's listing against a bare walk with the same yields, how the window answers
// another process meanwhile, and the program's start-up and memory.
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

// "VER ARCHIVOS Y CARPETAS"
constexpr POINT kShowAll{layout::frmViewer::mvSALL.left + 10, layout::frmViewer::mvSALL.top + 5};

struct Round {
    double referenceSeconds;
    double listingSeconds;
    int lines;
    Pinger::Answers answers;
};

// One round with the main window shown: first the bare walk, then the same roots listed through
// the window while another process pings it, both in the same state of the process (a thread
// with a visible window pays more for each yield than one without).
Round MeasureRound(const std::wstring& drive, int& entries) {
    frmViewer window(::GetModuleHandleW(nullptr));
    window.Create();
    window.Show(SW_SHOWNORMAL);
    DoEvents();
    const double reference = BareWalkSeconds(drive, entries);

    Pinger pinger(window.hWnd());
    const auto start = Clock::now();
    ClickAt(window.hWnd(), kShowAll, false);  // returns once the count is written
    const double seconds = SecondsSince(start);
    const Pinger::Answers answers = pinger.Stop();
    DoEvents();
    return {reference, seconds, window.lstViewer().ListCount(), answers};
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
    ClickAt(window, kShowAll, true);
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

int wmain(int argc, wchar_t** argv) {
    if (argc != 3) {
        std::fwprintf(stderr, L"usage: velquor_wine_bench DRIVE VELQUOR_EXE\n");
        return 2;
    }
    const ComApartment com;
    const std::wstring drive = argv[1];

    // Each round times the two back to back, so its ratio compares like with like; the machine's
    // speed drifts between rounds by a fifth or more.
    int entries = 0;
    int lines = 0;
    std::vector<double> references;
    std::vector<double> listings;
    std::vector<double> ratios;
    AnswerTally answers;
    for (int round = 0; round < kRounds; ++round) {
        const Round figures = MeasureRound(drive, entries);
        references.push_back(figures.referenceSeconds);
        listings.push_back(figures.listingSeconds);
        ratios.push_back(figures.listingSeconds / figures.referenceSeconds);
        answers.Add(figures.answers);
        lines = figures.lines;
    }
    const ProgramRun program = RunProgram(argv[2]);

    std::wprintf(L"| Measure | Result | Reference (same run) | Ratio | Target |\n");
    std::wprintf(L"|---|---|---|---|---|\n");
    std::wprintf(L"| \"VER ARCHIVOS Y CARPETAS\" on %d root entries, click to final count | %.2f s (%d lines), "
                 L"median of %d | bare walks with %d yields: %.2f s | %.2fx (rounds: %ls) | <= 1.25x |\n",
                 entries, Median(listings), lines, kRounds, entries, Median(references), Median(ratios),
                 RoundList(ratios).c_str());
    std::wprintf(L"| Slowest answer to another process's message (one every 20 ms) during the listings | "
                 L"%.1f ms; %lld of %lld over 100 ms | - | - | <= 100 ms |\n",
                 answers.slowestMs, answers.over100Ms, answers.messages);
    std::wprintf(L"| Peak working set of velquor.exe after listing %d entries | %.1f MB | at start-up: %.1f MB "
                 L"| - | <= 40 MB |\n",
                 entries, program.listedMegabytes, program.idleMegabytes);
    std::wprintf(L"| Start-up to a painted, idle window | %.2f s | - | - | reported |\n", program.startSeconds);
    return lines == entries ? 0 : 1;
}
