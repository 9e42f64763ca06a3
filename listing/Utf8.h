#pragma once

#include <string>
#include <string_view>

// Text in UTF-8 (what std::error_code gives) as wide text, whatever the width of wchar_t: UTF-16
// on Windows, UTF-32 elsewhere. A broken sequence becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
