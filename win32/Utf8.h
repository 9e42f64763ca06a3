#pragma once

#include "Win32Api.h"

#include <string>
#include <string_view>

namespace win32 {

// UTF-16 text as UTF-8, for the messages of error codes and the Unix paths Wine takes.
inline std::string Utf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = static_cast<int>(text.size());
    const int size = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    std::string result(static_cast<size_t>(size), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.data(), length, result.data(), size, nullptr, nullptr);
    return result;
}

}  // namespace win32
