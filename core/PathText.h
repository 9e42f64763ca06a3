#pragma once

#include <optional>
#include <string>
#include <string_view>

// True when a and b hold the same letters, without regard to case, as Windows compares names.
bool SameLetters(std::wstring_view a, std::wstring_view b);
// The text in capitals: a name as SameLetters compares it, to find it among many.
std::wstring UpperCase(std::wstring_view text);

// The last component of a path (after its last backslash or slash): the entry's own name.
std::wstring_view LastComponent(std::wstring_view path);

bool IsDotOrDotDot(std::wstring_view name);

// True when text holds nothing but spaces (or nothing at all).
bool IsBlank(std::wstring_view text);

// The drive of a list line: "E:" of "E:\autorun.inf".
std::wstring LineDrive(std::wstring_view line);

// "E:" for a drive written as "E:" or "E:\"; nothing for any other text.
std::optional<std::wstring_view> DriveOf(std::wstring_view text);

// The entry's name when path is exactly one entry of a drive's root: letter, colon, backslash
// and one name without separators that is not "." or "..". Nothing for anything else.
std::optional<std::wstring_view> RootEntryName(std::wstring_view path);
