#pragma once

#include "Win32Api.h"

#include <psapi.h>

#include <algorithm>
#include <chrono>
#include <cstdint>
#include <cstdio>
#include <string>
#include <vector>

#include "DoEvents.h"
#include "Owners.h"

using Steady = std::chrono::steady_clock;

inline double SecondsSince(Steady::time_point start) {
    return std::chrono::duration<double>(Steady::now() - start).count();
}

// The middle of an odd number of figures.
inline double Median(std::vector<double> figures) {
    std::nth_element(figures.begin(), figures.begin() + figures.size() / 2, figures.end());
    return figures[figures.size() / 2];
}

// The figures of a set of rounds as "1.23, 1.21, …".
inline std::wstring RoundList(const std::vector<double>& figures) {
    std::wstring text;
    for (const double figure : figures) {
        wchar_t item[24];
        std::swprintf(item, 24, text.empty() ? L"%.2f" : L", %.2f", figure);
        text += item;
    }
    return text;
}

inline double PeakWorkingSetMegabytes(HANDLE process) {
    PROCESS_MEMORY_COUNTERS memory{};
    memory.cb = sizeof(memory);
    ::GetProcessMemoryInfo(process, &memory, sizeof(memory));
    return memory.PeakWorkingSetSize / (1024.0 * 1024.0);
}

// The folder of this program, where the other programs of the benchmarks lie.
inline std::wstring OwnFolder() {
    std::wstring path(32768, L'\0');
    path.resize(::GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size())));
    return path.substr(0, path.find_last_of(L'\\') + 1);
}

// Another process (velquor_pinger) that sends a window a message every 20 ms while it runs and
// times each answer: how the window feels to a user meanwhile.
class Pinger {
public:
    struct Answers {
        long long messages = 0;
        double slowestMs = 0;
        long long over100Ms = 0;
    };

    explicit Pinger(HWND window) {
        const std::wstring tag = std::to_wstring(::GetCurrentProcessId()) + L"-" + std::to_wstring(++serial_);
        const std::wstring stopName = L"Local\\VelquorPingerStop-" + tag;
        resultFile_ = OwnFolder() + L"pinger-" + tag + L".txt";
        stop_.Reset(::CreateEventW(nullptr, TRUE, FALSE, stopName.c_str()));
        std::wstring commandLine = L"\"" + OwnFolder() + L"velquor_pinger.exe\" " +
                                   std::to_wstring(reinterpret_cast<INT_PTR>(window)) + L" " + stopName +
                                   L" \"" + resultFile_ + L"\"";
        STARTUPINFOW startup{};
        startup.cb = sizeof(startup);
        PROCESS_INFORMATION started{};
        if (::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                             &startup, &started)) {
            process_.Reset(started.hProcess);
            ::CloseHandle(started.hThread);
        }
    }
    Pinger(const Pinger&) = delete;
    Pinger& operator=(const Pinger&) = delete;
    ~Pinger() { Stop(); }

    // Ends the pinging and gives what it measured.
    Answers Stop() {
        if (!process_) return answers_;
        ::SetEvent(stop_.Get());
        // The pinger may be waiting for the window's answer: keep answering until it is gone.
        HANDLE process = process_.Get();
        while (::MsgWaitForMultipleObjects(1, &process, FALSE, 30000, QS_SENDMESSAGE) == WAIT_OBJECT_0 + 1) {
            MSG message;
            ::PeekMessageW(&message, nullptr, 0, 0, PM_NOREMOVE | PM_QS_SENDMESSAGE);
        }
        process_.Reset();
        if (std::FILE* result = _wfopen(resultFile_.c_str(), L"r")) {
            std::fscanf(result, "%lld %lf %lld", &answers_.messages, &answers_.slowestMs, &answers_.over100Ms);
            std::fclose(result);
        }
        ::DeleteFileW(resultFile_.c_str());
        return answers_;
    }

private:
    static inline int serial_ = 0;
    win32::UniqueKernelHandle stop_;
    win32::UniqueKernelHandle process_;
    std::wstring resultFile_;
    Answers answers_;
};

// Makes a small file, as a stick's documents are.
inline bool MakeSmallFile(const std::wstring& path) {
    const win32::UniqueFile file{::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr)};
    static constexpr char kContent[] = "contenido de prueba\r\n";
    DWORD written = 0;
    return file && ::WriteFile(file.Get(), kContent, sizeof kContent - 1, &written, nullptr);
}

// A folder of `folders` folders holding `filesEach` small files each.
inline bool MakeTree(const std::wstring& top, int folders, int filesEach) {
    if (!::CreateDirectoryW(top.c_str(), nullptr)) return false;
    for (int folder = 0; folder < folders; ++folder) {
        const std::wstring path = top + L"\\carpeta" + std::to_wstring(folder);
        if (!::CreateDirectoryW(path.c_str(), nullptr)) return false;
        for (int file = 0; file < filesEach; ++file) {
            if (!MakeSmallFile(path + L"\\archivo" + std::to_wstring(file) + L".txt")) return false;
        }
    }
    return true;
}

// Runs a command line in a process of its own, hidden, its output sent nowhere (the window
// prints nothing either); the seconds until it ended, or -1 when it failed.
inline double CommandSeconds(std::wstring commandLine) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const win32::UniqueFile nowhere{::CreateFileW(L"NUL", GENERIC_WRITE, FILE_SHARE_WRITE, &inherit, OPEN_EXISTING, 0,
                                           nullptr)};
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = nowhere.Get();
    startup.hStdError = nowhere.Get();
    PROCESS_INFORMATION started{};
    const auto start = Steady::now();
    if (!::CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, TRUE, CREATE_NO_WINDOW, nullptr,
                          nullptr, &startup, &started)) {
        return -1;
    }
    const win32::UniqueKernelHandle process{started.hProcess};
    const win32::UniqueKernelHandle thread{started.hThread};
    ::WaitForSingleObject(process.Get(), INFINITE);
    DWORD exitCode = 1;
    ::GetExitCodeProcess(process.Get(), &exitCode);
    return exitCode == 0 ? SecondsSince(start) : -1;
}

// A file of `chunks` times the same `size` bytes.
inline bool MakeFileOfChunks(const std::wstring& path, const char* data, DWORD size, int chunks) {
    const win32::UniqueFile file{::CreateFileW(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                        FILE_ATTRIBUTE_NORMAL, nullptr)};
    if (!file) return false;
    for (int i = 0; i < chunks; ++i) {
        DWORD written = 0;
        if (!::WriteFile(file.Get(), data, size, &written, nullptr) || written != size) return false;
    }
    return true;
}

inline std::uint64_t SizeOf(const std::wstring& path) {
    WIN32_FILE_ATTRIBUTE_DATA data{};
    if (!::GetFileAttributesExW(path.c_str(), GetFileExInfoStandard, &data)) return 0;
    return (std::uint64_t{data.nFileSizeHigh} << 32) | data.nFileSizeLow;
}

inline bool Exists(const std::wstring& path) { return ::GetFileAttributesW(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

// Everything a set of measures heard from their pingers, put together.
struct AnswerTally {
    long long messages = 0;
    double slowestMs = 0;
    long long over100Ms = 0;

    void Add(const Pinger::Answers& answers) {
        messages += answers.messages;
        slowestMs = std::max(slowestMs, answers.slowestMs);
        over100Ms += answers.over100Ms;
    }
};

// The CPU time this process has used, in seconds.
inline double CpuSeconds() {
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

inline double WallSeconds() {
    LARGE_INTEGER frequency;
    LARGE_INTEGER now;
    ::QueryPerformanceFrequency(&frequency);
    ::QueryPerformanceCounter(&now);
    return static_cast<double>(now.QuadPart) / static_cast<double>(frequency.QuadPart);
}

inline void CALLBACK EndTheLoop(HWND, UINT, UINT_PTR, DWORD) { ::PostQuitMessage(0); }

// The program's own message loop, for the given time.
inline void RunMessageLoopFor(int seconds) {
    const UINT_PTR stop = ::SetTimer(nullptr, 0, static_cast<UINT>(seconds) * 1000, &EndTheLoop);
    RunMessageLoop();
    ::KillTimer(nullptr, stop);
}
