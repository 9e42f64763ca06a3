// Times the service's copy of a folder tree against the system's own: 1,000 small files in 50
// folders and one 256 MB file on a removable drive, copied by `xcopy /e /i /h /y` and by
// CopyFolder with a callback that keeps a window answering, the two alternating round by round.
//   velquor_copy_bench DRIVE     (DRIVE: a removable drive with room for three trees)

#include "listing/Windows_win.h"

#include <cstdio>
#include <memory>
#include <string>
#include <vector>

#include "app/DoEvents.h"
#include "bench/BenchSupport_win.h"
#include "listing/AnsweringPace.h"
#include "listing/Win32FileSystemService_win.h"
#include "listing/Win32Handles_win.h"

namespace {

constexpr int kRounds = 7;
constexpr int kFolders = 50;
constexpr int kFilesPerFolder = 20;
constexpr DWORD kChunk = 1024 * 1024;
constexpr int kLargeChunks = 256;

bool WriteChunks(const std::wstring& path, const char* data, DWORD size, int chunks) {
    const UniqueFile file{::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                        FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (!file) return false;
    for (int i = 0; i < chunks; ++i) {
        DWORD written = 0;
        if (!::WriteFile(file.Get(), data, size, &written, nullptr) || written != size) {
            return false;
        }
    }
    return true;
}

bool MakeTree(const std::wstring& top) {
    static constexpr char kSmall[] = "contenido de prueba, una copia de seguridad pequeña\r\n";
    const auto large = std::make_unique<char[]>(kChunk);
    for (DWORD i = 0; i < kChunk; ++i) large[i] = static_cast<char>(i * 7);
    if (!::CreateDirectoryW(top.c_str(), nullptr)) return false;
    for (int folder = 0; folder < kFolders; ++folder) {
        const std::wstring path = top + L"\\carpeta" + std::to_wstring(folder);
        if (!::CreateDirectoryW(path.c_str(), nullptr)) return false;
        for (int file = 0; file < kFilesPerFolder; ++file) {
            const std::wstring name = path + L"\\archivo" + std::to_wstring(file) + L".txt";
            if (!WriteChunks(name, kSmall, sizeof kSmall - 1, 1)) return false;
        }
    }
    return WriteChunks(top + L"\\grande.bin", large.get(), kChunk, kLargeChunks);
}

// The reference: the system's own copy, in a process of its own, its listing of names sent
// nowhere (the service prints none).
double XcopySeconds(const std::wstring& from, const std::wstring& to) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const UniqueFile nowhere{::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit,
                                           OPEN_EXISTING, 0, nullptr)};
    std::wstring commandLine = L"xcopy /e /i /h /y \"" + from + L"\" \"" + to + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nowhere.Get();
    startup.hStdError = nowhere.Get();
    PROCESS_INFORMATION started{};
    const auto start = Clock::now();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW,
                          nullptr, nullptr, &startup, &started)) {
        return -1;
    }
    const UniqueKernelHandle process{started.hProcess};
    const UniqueKernelHandle thread{started.hThread};
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode == 0 ? SecondsSince(start) : -1;
}

// The yield of the main window, counted.
class CountingPump final : public MessagePump {
public:
    void DoEvents() override {
        ::DoEvents();
        ++yields;
    }
    int yields = 0;
};

// As the main window copies: one call, answering at a pace between items and chunks.
double ServiceSeconds(const std::wstring& from, const std::wstring& to, std::size_t& failures,
                      int& yields) {
    Win32FileSystemService files;
    CountingPump pump;
    AnsweringPace pace(pump);
    const auto start = Clock::now();
    const TreeReport report = files.CopyFolder(from, to, true, [&pace] { pace.Between(); });
    const double seconds = SecondsSince(start);
    failures = report.failures.size();
    yields = pump.yields;
    return seconds;
}

std::uint64_t SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

// A copy with every file: the large one whole, and the last small file of the last folder.
bool IsWhole(const std::wstring& copy) {
    const std::wstring last = copy + L"\\carpeta" + std::to_wstring(kFolders - 1) + L"\\archivo" +
                              std::to_wstring(kFilesPerFolder - 1) + L".txt";
    return SizeOf(copy + L"\\grande.bin") == std::uint64_t{kChunk} * kLargeChunks &&
           SizeOf(last) > 0;
}

bool Remove(const std::wstring& top) {
    Win32FileSystemService files;
    return files.DeleteFolder(top, true, [] {}).failures.empty();
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 2) {
        std::fwprintf(stderr, L"usage: velquor_copy_bench DRIVE\n");
        return 2;
    }
    const std::wstring drive = argv[1];
    const std::wstring source = drive + L"\\arbol";
    const std::wstring byXcopy = drive + L"\\copia-xcopy";
    const std::wstring byService = drive + L"\\copia-servicio";
    if (!MakeTree(source)) {
        std::fwprintf(stderr, L"could not make the tree on %ls\n", drive.c_str());
        return 1;
    }

    std::vector<double> references;
    std::vector<double> copies;
    std::vector<double> ratios;
    std::size_t failures = 0;
    int yields = 0;
    for (int round = 0; round < kRounds; ++round) {
        // Alternating which goes first, so that neither always meets a warmer cache.
        double reference = 0;
        double copy = 0;
        if (round % 2 == 0) {
            reference = XcopySeconds(source, byXcopy);
            copy = ServiceSeconds(source, byService, failures, yields);
        } else {
            copy = ServiceSeconds(source, byService, failures, yields);
            reference = XcopySeconds(source, byXcopy);
        }
        if (reference < 0 || failures != 0 || !IsWhole(byXcopy) || !IsWhole(byService)) {
            std::fwprintf(stderr, L"round %d: a copy is not whole (%zu failures)\n", round,
                          failures);
            return 1;
        }
        if (!Remove(byXcopy) || !Remove(byService)) {
            std::fwprintf(stderr, L"round %d: a copy would not go\n", round);
            return 1;
        }
        references.push_back(reference);
        copies.push_back(copy);
        ratios.push_back(copy / reference);
    }
    Remove(source);

    const int files = kFolders * kFilesPerFolder;
    std::wprintf(L"| Measure | Result | Reference (same run) | Ratio | Target |\n");
    std::wprintf(L"|---|---|---|---|---|\n");
    std::wprintf(L"| CopyFolder of %d small files in %d folders and one %d MB file, answering at a "
                 L"pace (%d yields) | %.2f s, median of %d | xcopy /e /i /h /y: %.2f s | %.2fx "
                 L"(rounds: %ls) | <= 1.1x |\n",
                 files, kFolders, kLargeChunks, yields, Median(copies), kRounds,
                 Median(references), Median(ratios), RoundList(ratios).c_str());
    return 0;
}
