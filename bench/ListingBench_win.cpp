// Times the main window's listing against a bare walk with the same yields, the window's answer
// to messages waiting during the listing, and the program's start-up to a painted window.
//   velquor_wine_bench DRIVE VELQUOR_EXE     (DRIVE: a removable drive holding only files)

#include "listing/Windows_win.h"

#include <psapi.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <string>
#include <thread>
#include <vector>

#include "app/ComApartment.h"
#include "app/DoEvents.h"
#include "app/frmViewer.h"
#include "listing/Win32FileSystemService_win.h"
#include "listing/Win32Handles_win.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 5;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

// The reference: the same enumeration with one yield per entry, and nothing drawn.
double BareWalkSeconds(const std::wstring& drive, int& entries) {
    Win32FileSystemService files;
    entries = 0;
    const auto start = Clock::now();
    files.ForEachRootFile(drive, [&entries](const std::wstring&) {
        DoEvents();
        ++entries;
    });
    return SecondsSince(start);
}

// A window that notes how long posted probes waited before the listing let them through.
class LatencyProbe {
public:
    static constexpr UINT kProbe = WM_APP + 1;

    LatencyProbe() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &LatencyProbe::Proc;
        windowClass.hInstance = ::GetModuleHandleW(nullptr);
        windowClass.lpszClassName = L"VelquorLatencyProbe";
        ::RegisterClassW(&windowClass);
        hwnd_ = ::CreateWindowExW(0, windowClass.lpszClassName, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                                  windowClass.hInstance, nullptr);
    }
    ~LatencyProbe() { ::DestroyWindow(hwnd_); }

    // Posts a probe every 20 ms from another thread until Stop().
    void Start() {
        running_ = true;
        poster_ = std::thread([this] {
            while (running_) {
                const auto sent = Clock::now().time_since_epoch().count();
                ::PostMessageW(hwnd_, kProbe, 0, static_cast<LPARAM>(sent));
                std::this_thread::sleep_for(std::chrono::milliseconds(20));
            }
        });
    }
    void Stop() {
        running_ = false;
        poster_.join();
    }
    // The longest wait, and how many of the waits took longer than limitMs.
    static double WorstMs() { return waitsMs_.empty() ? 0 : *std::max_element(waitsMs_.begin(), waitsMs_.end()); }
    static size_t Probes() { return waitsMs_.size(); }
    static size_t LongerThan(double limitMs) {
        return static_cast<size_t>(std::count_if(waitsMs_.begin(), waitsMs_.end(), [=](double w) { return w > limitMs; }));
    }

private:
    static LRESULT CALLBACK Proc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message != kProbe) return ::DefWindowProcW(hwnd, message, wParam, lParam);
        const Clock::time_point sent{Clock::duration{static_cast<Clock::rep>(lParam)}};
        waitsMs_.push_back(std::chrono::duration<double, std::milli>(Clock::now() - sent).count());
        return 0;
    }

    HWND hwnd_;
    std::atomic<bool> running_{false};
    std::thread poster_;
    static inline std::vector<double> waitsMs_;
};

struct Round {
    double referenceSeconds;
    double listingSeconds;
    int lines;
};

// One round with the main window shown: first the bare walk, then the same root listed through
// the window, so that both run in the same state of the process (a thread with a visible window
// pays more for each yield than one without).
Round MeasureRound(const std::wstring& drive, int& entries) {
    frmViewer window(::GetModuleHandleW(nullptr));
    window.Create();
    window.Show(SW_SHOWNORMAL);
    DoEvents();
    const double reference = BareWalkSeconds(drive, entries);

    LatencyProbe probe;
    probe.Start();
    const auto start = Clock::now();
    // The click on "VER SOLO ARCHIVOS", as the mouse gives it; it returns after the count is written.
    const POINT spot{layout::frmViewer::mvSFLS.left + 10, layout::frmViewer::mvSFLS.top + 5};
    ::SendMessageW(window.hWnd(), WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(spot.x, spot.y));
    ::SendMessageW(window.hWnd(), WM_LBUTTONUP, 0, MAKELPARAM(spot.x, spot.y));
    const double seconds = SecondsSince(start);
    probe.Stop();
    DoEvents();
    return {reference, seconds, window.lstViewer().ListCount()};
}

struct StartUp {
    double seconds;
    double peakMegabytes;
};

// Starts the program, waits until its window is shown and idle, reads its peak memory, ends it.
StartUp StartProgram(const std::wstring& exe) {
    STARTUPINFOW startup{};
    startup.cb = sizeof(startup);
    PROCESS_INFORMATION started{};
    std::wstring commandLine = L"\"" + exe + L"\"";
    const auto start = Clock::now();
    if (!::CreateProcessW(exe.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                          &startup, &started)) {
        return {-1, -1};
    }
    const UniqueKernelHandle process{started.hProcess};
    const UniqueKernelHandle thread{started.hThread};
    ::WaitForInputIdle(process.Get(), 30000);
    HWND window = nullptr;
    while (!window && SecondsSince(start) < 30) {
        window = ::FindWindowW(L"VelquorViewer", nullptr);
        if (!window) std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    // A window that answers a message after showing itself has painted: painting comes first
    // once its queue is empty.
    DWORD_PTR answer = 0;
    ::SendMessageTimeoutW(window, WM_NULL, 0, 0, SMTO_NORMAL, 30000, &answer);
    const double seconds = SecondsSince(start);
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(process.Get(), &memory, sizeof(memory));
    ::TerminateProcess(process.Get(), 0);
    ::WaitForSingleObject(process.Get(), 10000);
    return {window ? seconds : -1, memory.PeakWorkingSetSize / (1024.0 * 1024.0)};
}

}  // namespace

// The middle of an odd number of figures.
double Median(std::vector<double> figures) {
    std::nth_element(figures.begin(), figures.begin() + figures.size() / 2, figures.end());
    return figures[figures.size() / 2];
}

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
    std::wstring roundRatios;
    for (int round = 0; round < kRounds; ++round) {
        const Round figures = MeasureRound(drive, entries);
        references.push_back(figures.referenceSeconds);
        listings.push_back(figures.listingSeconds);
        ratios.push_back(figures.listingSeconds / figures.referenceSeconds);
        lines = figures.lines;
        wchar_t text[16];
        std::swprintf(text, 16, round ? L", %.2f" : L"%.2f", ratios.back());
        roundRatios += text;
    }
    const StartUp startUp = StartProgram(argv[2]);

    std::wprintf(L"| Measure | Result | Reference (same run) | Ratio | Target |\n");
    std::wprintf(L"|---|---|---|---|---|\n");
    std::wprintf(L"| Listing %d root entries through the window, click to final count | %.2f s (%d lines), "
                 L"median of %d | bare walk with %d yields: %.2f s | %.2fx (rounds: %ls) "
                 L"| <= 1.5x |\n",
                 entries, Median(listings), lines, kRounds, entries, Median(references), Median(ratios),
                 roundRatios.c_str());
    std::wprintf(L"| Longest wait of a message posted during the listings (one every 20 ms) | %.1f ms; "
                 L"%zu of %zu waited over 100 ms | - | - | <= 100 ms |\n",
                 LatencyProbe::WorstMs(), LatencyProbe::LongerThan(100), LatencyProbe::Probes());
    std::wprintf(L"| Start-up to a painted, idle window | %.2f s | - | - | reported |\n", startUp.seconds);
    std::wprintf(L"| Peak working set at start-up | %.1f MB | - | - | reported |\n", startUp.peakMegabytes);
    return lines == entries ? 0 : 1;
}
