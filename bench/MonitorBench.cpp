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
#include <vector>

#include "ComApartment.h"
#include "BenchSupport.h"
#include "DoEvents.h"
#include "Form1.h"
#include "Win32FileSystemService.h"

namespace {

constexpr int kDefaultSeconds = 30;

// Passes the questions on to the system's, counting the ticks: each tick asks about D: first.
class CountedDrives : public DriveFacts {
public:
    std::vector<std::wstring> Drives() override { return system_.Drives(); }
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        if (drive == L"D:") ++ticks;
        return system_.DeviceOf(drive);
    }
    DriveKind DriveType(const std::wstring& drive) override { return system_.DriveType(drive); }
    bool IsReady(const std::wstring& drive) override { return system_.IsReady(drive); }
    std::optional<VolumeId> VolumeOf(const std::wstring& drive) override { return system_.VolumeOf(drive); }

    long long ticks = 0;

private:
    win32::FileSystemService system_;
};

// Every letter taken as there on a device of no known name: each tick asks every type up to the
// first removable one.
class AskingEveryLetter final : public CountedDrives {
public:
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        CountedDrives::DeviceOf(drive);
        return std::wstring();
    }
};

// No letter at all, and nothing asked of the system.
class NoDrives final : public CountedDrives {
public:
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        if (drive == L"D:") ++ticks;
        return std::nullopt;
    }
};

struct Cost {
    double percentOfACore = 0;
    double ticksPerSecond = 0;
};

// Opens the monitor on drives, shown, and pumps its messages for the given time.
Cost MonitorCost(CountedDrives& drives, int seconds) {
    Form1 monitor(::GetModuleHandleW(nullptr), drives);
    if (!monitor.Create()) return {};
    monitor.Show();
    const double cpu = CpuSeconds();
    const double wall = WallSeconds();
    drives.ticks = 0;
    RunMessageLoopFor(seconds);
    const double elapsed = WallSeconds() - wall;
    return {(CpuSeconds() - cpu) / elapsed * 100, static_cast<double>(drives.ticks) / elapsed};
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc < 2 || argc > 3) {
        std::fwprintf(stderr, L"usage: velquor_monitor_bench LABEL [SECONDS]\n");
        return 2;
    }
    const ComApartment com;
    const int seconds = argc == 3 ? std::max(1, _wtoi(argv[2])) : kDefaultSeconds;

    CountedDrives system;
    AskingEveryLetter everyLetter;
    NoDrives noDrives;
    const Cost monitor = MonitorCost(system, seconds);
    const Cost naive = MonitorCost(everyLetter, seconds);
    const Cost ticksAlone = MonitorCost(noDrives, seconds);

    std::wprintf(L"| %ls | %.2f %% (%.0f ticks/s) | %.2f %% | %.2f %% | %d s each | < 1 %% |\n", argv[1],
                 monitor.percentOfACore, monitor.ticksPerSecond, naive.percentOfACore, ticksAlone.percentOfACore,
                 seconds);
    return monitor.ticksPerSecond > 0 ? 0 : 1;
}
