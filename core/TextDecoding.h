#pragma once

#include <string>
#include <string_view>

#include "FileBytes.h"

// Text stored as bytes, as wide text whatever the width of wchar_t (UTF-16 on Windows, UTF-32
// elsewhere). What cannot stand (a broken UTF-8 sequence, an unpaired surrogate) becomes U+FFFD.
std::wstring WideFromUtf8(std::string_view text);
std::wstring WideFromUtf16Le(ByteView bytes);
std::wstring WideFromUtf16Be(ByteView bytes);
// The ANSI code page of Spanish and Western Windows (Windows-1252), byte for byte.
std::wstring WideFromWindows1252(ByteView bytes);
