#pragma once

#include <string>

#include "listing/FileBytes.h"

// Text stored by Windows as bytes, as wide text whatever the width of wchar_t. A unit that cannot
// stand (an unpaired surrogate) becomes U+FFFD.
std::wstring WideFromUtf16Le(ByteView bytes);
std::wstring WideFromUtf16Be(ByteView bytes);
// The ANSI code page of Spanish and Western Windows (Windows-1252), byte for byte.
std::wstring WideFromWindows1252(ByteView bytes);
