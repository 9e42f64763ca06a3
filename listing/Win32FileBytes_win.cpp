#include "listing/Win32FileBytes_win.h"

#include <algorithm>

#include "listing/Win32Error.h"
#include "listing/Win32Handles_win.h"

namespace {

// Most a single ReadFile is asked for.
constexpr DWORD kChunk = 64 * 1024;

// The \\?\ form of a drive path, so that names Windows would otherwise bend (a trailing dot, a
// device name such as "con") are read as the entries they are.
std::wstring LongForm(const std::wstring& path) {
    const bool drivePath = path.size() >= 3 && path[1] == L':' && path[2] == L'\\';
    return drivePath ? L"\\\\?\\" + path : path;
}

std::error_code ReadAll(HANDLE file, std::size_t most, FileBytes& bytes) {
    bytes.resize(most);
    std::size_t size = 0;
    while (size < most) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(kChunk, most - size));
        if (!::ReadFile(file, bytes.data() + size, wanted, &got, nullptr)) return LastWin32Error();
        if (got == 0) break;
        size += got;
    }
    bytes.resize(size);
    return {};
}

}  // namespace

std::error_code ReadFileBytes(const std::wstring& path, std::size_t most, FileBytes& bytes) {
    bytes.clear();
    // Backup semantics only let a folder be opened, so that it is told apart rather than refused.
    const UniqueFile file{::CreateFileW(LongForm(path).c_str(), GENERIC_READ,
                                        FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE, nullptr, OPEN_EXISTING,
                                        FILE_FLAG_OPEN_REPARSE_POINT | FILE_FLAG_BACKUP_SEMANTICS | FILE_FLAG_SEQUENTIAL_SCAN,
                                        nullptr)};
    if (!file) return LastWin32Error();
    BY_HANDLE_FILE_INFORMATION facts{};
    if (!::GetFileInformationByHandle(file.Get(), &facts)) return LastWin32Error();
    if (facts.dwFileAttributes & FILE_ATTRIBUTE_REPARSE_POINT) {
        return std::make_error_code(std::errc::too_many_symbolic_link_levels);
    }
    if (facts.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) return std::make_error_code(std::errc::is_a_directory);
    if (const std::error_code error = ReadAll(file.Get(), most, bytes)) {
        bytes.clear();
        return error;
    }
    return {};
}
