// Copies with the Win32 service in a process of its own and writes what failed, one path a line
// in UTF-8, to a report file. The Wine suite starts it through the host shell under a file-size
// limit, to see what a copy that fails half-way leaves behind.
//   velquor_copy_probe file|folder SOURCE DESTINATION REPORT
// Or copies a file over an earlier one, signals the named event once the first chunk is written,
// and waits there for the suite to end the process.
//   velquor_copy_probe hold EVENT SOURCE DESTINATION

#include "Win32Api.h"

#include <cstdio>
#include <string>
#include <vector>

#include "Win32FileSystemService.h"
#include "Owners.h"

namespace {

std::string Utf8(const std::wstring& text) {
    std::string bytes(text.size() * 3, '\0');
    bytes.resize(static_cast<size_t>(
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()),
                              bytes.data(), static_cast<int>(bytes.size()), nullptr, nullptr)));
    return bytes;
}

std::vector<std::wstring> FailedPaths(const std::wstring& kind, const std::wstring& source,
                                      const std::wstring& destination) {
    win32::FileSystemService files;
    const BetweenItems nothing = [] {};
    CopyRun run;
    std::vector<std::wstring> failed;
    if (kind == L"folder") {
        const TreeReport report = files.CopyFolder(source, destination, true, run, nothing);
        for (const ItemFailure& item : report.failures) failed.push_back(item.path);
    } else if (files.CopyFile(source, destination, true, run, nothing)) {
        failed.push_back(source);
    }
    return failed;
}

// Returns only when the copy did not get as far as its first chunk.
int CopyAndHold(const wchar_t* event, const std::wstring& source, const std::wstring& destination) {
    const win32::UniqueKernelHandle started{::OpenEventW(EVENT_MODIFY_STATE, FALSE, event)};
    if (!started) return 3;
    win32::FileSystemService files;
    CopyRun run;
    files.CopyFile(source, destination, true, run, [&] {
        ::SetEvent(started.Get());
        ::WaitForSingleObject(::GetCurrentProcess(), INFINITE);  // never signalled while it runs
    });
    return 4;
}

}  // namespace

int wmain(int argc, wchar_t** argv) {
    if (argc != 5) {
        std::fwprintf(stderr, L"usage: velquor_copy_probe file|folder SOURCE DESTINATION REPORT\n"
                              L"       velquor_copy_probe hold EVENT SOURCE DESTINATION\n");
        return 2;
    }
    if (std::wstring(argv[1]) == L"hold") return CopyAndHold(argv[2], argv[3], argv[4]);
    std::string lines;
    for (const std::wstring& path : FailedPaths(argv[1], argv[2], argv[3])) {
        if (!lines.empty()) lines += '\n';
        lines += Utf8(path);
    }
    const win32::UniqueFile report{::CreateFileW(argv[4], GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                                          FILE_ATTRIBUTE_NORMAL, nullptr)};
    DWORD written = 0;
    const bool done = report && ::WriteFile(report.Get(), lines.data(),
                                            static_cast<DWORD>(lines.size()), &written, nullptr);
    return done && written == lines.size() ? 0 : 1;
}
