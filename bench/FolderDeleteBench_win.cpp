// Times the service's deletion of a large folder against the system's own: 20,000 small files in
// 200 folders on a removable drive, removed by `cmd /c rmdir /s /q` and by DeleteFolder with a
// yield between items, on identical trees, the two alternating round by round.
//   velquor_delete_bench DRIVE     (DRIVE: a removable drive with room for the trees)

#include "listing/Windows_win.h"

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "app/DoEvents.h"
#include "listing/Win32FileSystemService_win.h"
#include "listing/Win32Handles_win.h"

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRounds = 3;
constexpr int kFolders = 200;
constexpr int kFilesPerFolder = 100;

double SecondsSince(Clock::time_point start) {
    return std::chrono::duration<double>(Clock::now() - start).count();
}

bool MakeFile(const std::wstring& path) {
    const UniqueFile file{::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr)};
    static constexpr char kContent[] = "contenido de prueba\r\n";
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), kContent, sizeof kContent - 1, &written, nullptr);
}

bool MakeTree(const std::wstring& top) {
    if (!::CreateDirectoryW(top.c_str(), nullptr)) return false;
    for (int folder = 0; folder < kFolders; ++folder) {
        const std::wstring path = top + L"\\carpeta" + std::to_wstring(folder);
        if (!::CreateDirectoryW(path.c_str(), nullptr)) return false;
        for (int file = 0; file < kFilesPerFolder; ++file) {
            if (!MakeFile(path + L"\\archivo" + std::to_wstring(file) + L".txt")) return false;
        }
    }
    return true;
}

// The reference: the system's own recursive delete, in a process of its own.
double RmdirSeconds(const std::wstring& top) {
    std::wstring commandLine = L"cmd /c rmdir /s /q \"" + top + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION started{};
    const auto start = Clock::now();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &started)) {
        return -1;
    }
    const UniqueKernelHandle process{started.hProcess};
    const UniqueKernelHandle thread{started.hThread};
    ::WaitForSingleObject(process.Get(), INFINITE);
    return SecondsSince(start);
}

// As the main window deletes: one call, yielding between items.
double ServiceSeconds(const std::wstring& top, std::size_t& failures, int& yields) {
    Win32FileSystemService files;
    yields = 0;
    const auto start = Clock::now();
    const TreeReport report = files.DeleteFolder(top, true, [&yields] {
        DoEvents();
        ++yields;
    });
    const double seconds = SecondsSince(start);
    failures = report.failures.size();
    return seconds;
}

double Median(std::vector<double> figures) {
    std::nth_element(figures.begin(), figures.begin() + figures.size() / 2, figures.end());
    return figures[figures.size() / 2];
}

bool Exists(const std::wstring& path) {
    return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: velquor_delete_bench DRIVE\n");
        return 2;
    }
    const std::wstring drive = argv[1];
    const std::wstring byRmdir = drive + L"\\arbol-rmdir";
    const std::wstring byService = drive + L"\\arbol-servicio";

    std::vector<double> references;
    std::vector<double> deletions;
    std::vector<double> ratios;
    std::wstring roundRatios;
    std::size_t failures = 0;
    int yields = 0;
    for (int round = 0; round < kRounds; ++round) {
        if (!MakeTree(byRmdir) || !MakeTree(byService)) {
            std::fwprintf(stderr, L"could not make the trees on %ls\n", drive.c_str());
            return 1;
        }
        // Alternating which goes first, so that neither always meets a warmer cache.
        double reference = 0;
        double deletion = 0;
        if (round % 2 == 0) {
            reference = RmdirSeconds(byRmdir);
            deletion = ServiceSeconds(byService, failures, yields);
        } else {
            deletion = ServiceSeconds(byService, failures, yields);
            reference = RmdirSeconds(byRmdir);
        }
        if (reference < 0 || failures != 0 || Exists(byRmdir) || Exists(byService)) {
            std::fwprintf(stderr, L"round %d: a tree was not deleted (%zu failures)\n", round,
                          failures);
            return 1;
        }
        references.push_back(reference);
        deletions.push_back(deletion);
        ratios.push_back(deletion / reference);
        wchar_t text[16];
        std::swprintf(text, 16, round ? L", %.2f" : L"%.2f", ratios.back());
        roundRatios += text;
    }

    const int entries = kFolders * kFilesPerFolder;
    std::wprintf(L"| Measure | Result | Reference (same run) | Ratio | Target |\n");
    std::wprintf(L"|---|---|---|---|---|\n");
    std::wprintf(L"| DeleteFolder of %d files in %d folders, yielding between items (%d yields) "
                 L"| %.2f s, median of %d | cmd /c rmdir /s /q: %.2f s | %.2fx (rounds: %ls) "
                 L"| <= 1.2x |\n",
                 entries, kFolders, yields, Median(deletions), kRounds, Median(references),
                 Median(ratios), roundRatios.c_str());
    return 0;
}
