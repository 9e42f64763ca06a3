#include "FileBytesReader.h"

#include <algorithm>

#include "Errors.h"
#include "TreeWalk.h"

namespace win32 {

namespace {

// Most a single ReadFile is asked for.
constexpr DWORD kChunk = 64 * 1024;

std::error_code ReadAll(HANDLE file, std::size_t most, FileBytes& bytes) {
    bytes.resize(most);
    std::size_t size = 0;
    while (size < most) {
        DWORD got = 0;
        const auto wanted = static_cast<DWORD>(std::min<std::size_t>(kChunk, most - size));
        if (!::ReadFile(file, bytes.data() + size, wanted, &got, nullptr)) return LastError();
        if (got == 0) break;
        size += got;
    }
    bytes.resize(size);
    return {};
}

}  // namespace

std::error_code ReadFileBytes(const std::wstring& path, std::size_t most, FileBytes& bytes) {
    bytes.clear();
    // The long form reads names Windows would otherwise bend (a trailing dot, a device name such
    // as "con") as the entries they are.
    const auto full = LongPath(path);
    if (!full) return Error(ERROR_INVALID_NAME);
    // What the handle opened decides, not the name's attributes: Wine shows a Unix link to a file
    // as the plain file it leads to, and only the opened entry's place gives it away.
    ListedEntry opened;
    const QuietDriveErrors quiet;
    if (auto error = OpenListed(*full, GENERIC_READ, opened)) return error;
    if (auto error = WhyNotAFile(Classify(opened.entry, opened.expected))) return error;
    if (const std::error_code error = ReadAll(opened.entry.handle.Get(), most, bytes)) {
        bytes.clear();
        return error;
    }
    return {};
}

}  // namespace win32
