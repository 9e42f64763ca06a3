// What the open connection monitor costs while nothing changes: the CPU time this process uses
// (GetProcessTimes) while its messages are pumped, as a share of one core, against two references
// measured in the same run: the monitor asking the type of every letter D: to P: at each tick, and
// its ticks alone, with no question asked.
//   velquor_monitor_bench LABEL [SECONDS]     (prints one markdown table row)

#include "Win32Api.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "ComApartment.h"
#include "DoEvents.h"
#include "Form1.h"

namespace {

constexpr int kDefaultSeconds = 30;

// Passes the questions on, counting the ticks: each tick asks about D: first.
class CountedDrives final : public DriveTypes {
public:
    explicit CountedDrives(DriveTypes& answers) : answers_(answers) {}
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        if (drive == L"D:") ++ticks;
        return answers_.DeviceOf(drive);
    }
    UINT TypeOf(const std::wstring& drive) override { return answers_.TypeOf(drive); }

    long long ticks = 0;

private:
    DriveTypes& answers_;
};

// The system's drive types, every letter taken as there on a device of no known name: each tick
// asks every type up to the first removable one.
class AskingEveryLetter final : public DriveTypes {
public:
    std::optional<std::wstring> DeviceOf(const std::wstring&) override { return std::wstring(); }
    UINT TypeOf(const std::wstring& drive) override { return SystemDriveTypes().TypeOf(drive); }
};

// No letter at all, and nothing asked of the system.
class NoDrives final : public DriveTypes {
public:
    std::optional<std::wstring> DeviceOf(const std::wstring&) override { return std::nullopt; }
    UINT TypeOf(const std::wstring&) override { return DRIVE_NO_ROOT_DIR; }
};

double CpuSeconds() {
    FILETIME created;
    FILETIME exited;
    FILETIME kernel;
    FILETIME user;
    ::GetProcessTimes(::GetCurrentProcess(), &created, &exited, &kernel, &user);
    const auto seconds = [](FILETIME time) {
        return (static_cast<ULONGLONG>(time.dwHighDateTime) << 32 | time.dwLowDateTime) / 1e7;
    };
    return seconds(kernel) + seconds(user);
}

double WallSeconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

void CALLBACK EndTheLoop(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(0); }

// The program's own message loop, for the given time.
void RunMessageLoopFor(int seconds) {
    const UINT_PTR stop = ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &EndTheLoop);
    RunMessageLoop();
    ::KillTimer(nullptr, stop);
}

struct Cost {
    double percentOfACore = 0;
    double ticksPerSecond = 0;
};

// Opens the monitor on drives, shown, and pumps its messages for the given time.
Cost MonitorCost(DriveTypes& drives, int seconds) {
    CountedDrives counted(drives);
    Form1 monitor(::GetModuleHandleW(nullptr), counted);
    if (!monitor.Create()) return {};
    monitor.Show();
    const double cpu = CpuSeconds();
    const double wall = WallSeconds();
    counted.ticks = 0;
    RunMessageLoopFor(seconds);
    const double elapsed = WallSeconds() - wall;
    return {(CpuSeconds() - cpu) / elapsed * 100, static_cast<double>(counted.ticks) / elapsed};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 3) {
        std::fwprintf(stderr, L"usage: velquor_monitor_bench LABEL [SECONDS]\n");
        return 2;
    }
    const ComApartment com;
    const int seconds = argc == 3 ? std::max(1, _wtoi(argv[2])) : kDefaultSeconds;

    AskingEveryLetter everyLetter;
    NoDrives noDrives;
    const Cost monitor = MonitorCost(SystemDriveTypes(), seconds);
    const Cost naive = MonitorCost(everyLetter, seconds);
    const Cost ticksAlone = MonitorCost(noDrives, seconds);

    std::wprintf(L"| %ls | %.2f %% (%.0f ticks/s) | %.2f %% | %.2f %% | %d s each | < 1 %% |\n", argv[1],
                 monitor.percentOfACore, monitor.ticksPerSecond, naive.percentOfACore, ticksAlone.percentOfACore,
                 seconds);
    return monitor.ticksPerSecond > 0 ? 0 : 1;
}
