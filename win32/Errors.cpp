#include "Errors.h"

#include "Win32Api.h"

#include <cwctype>
#include <string>
#include <string_view>

#include "Utf8.h"
#include "Owners.h"

namespace win32 {

namespace {

// The system's text for the code in the user's language, without its closing line break.
std::wstring SystemMessage(DWORD code) {
    wchar_t* buffer = nullptr;
    const DWORD length = ::FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    const UniqueLocal owner{buffer};
    if (length == 0) return {};
    std::wstring text(buffer, length);
    while (!text.empty() && std::iswspace(static_cast<std::wint_t>(text.back()))) text.pop_back();
    return text;
}

std::errc ConditionOf(DWORD code) {
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return std::errc::no_such_file_or_directory;
    case ERROR_ACCESS_DENIED: return std::errc::permission_denied;
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return std::errc::device_or_resource_busy;
    case ERROR_FILE_EXISTS:
    case ERROR_ALREADY_EXISTS: return std::errc::file_exists;
    case ERROR_DIR_NOT_EMPTY: return std::errc::directory_not_empty;
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return std::errc::no_space_on_device;
    case ERROR_FILENAME_EXCED_RANGE: return std::errc::filename_too_long;
    case ERROR_WRITE_PROTECT: return std::errc::read_only_file_system;
    case ERROR_NOT_READY: return std::errc::no_such_device;
    case ERROR_INVALID_NAME: return std::errc::invalid_argument;
    case ERROR_DIRECTORY: return std::errc::not_a_directory;
    default: return std::errc{};
    }
}

class Win32ErrorCategory final : public std::error_category {
public:
    const char* name() const noexcept override { return "win32"; }

    std::string message(int value) const override {
        const std::wstring text = SystemMessage(static_cast<DWORD>(value));
        if (text.empty()) return "Error de Windows " + std::to_string(static_cast<DWORD>(value)) + ".";
        return Utf8(text);
    }

    std::error_condition default_error_condition(int value) const noexcept override {
        const std::errc condition = ConditionOf(static_cast<DWORD>(value));
        if (condition == std::errc{}) return {value, *this};
        return std::make_error_condition(condition);
    }
};

}  // namespace

const std::error_category& ErrorCategory() {
    static const Win32ErrorCategory category;
    return category;
}

std::error_code Error(unsigned long code) {
    if (code == ERROR_SUCCESS) return {};
    return {static_cast<int>(code), ErrorCategory()};
}

std::error_code LastError() {
    return Error(::GetLastError());
}

}  // namespace win32
