#include "PathText.h"

#include <algorithm>
#include <cwctype>

bool SameLetters(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towupper(static_cast<std::wint_t>(x)) == std::towupper(static_cast<std::wint_t>(y));
    });
}

std::wstring UpperCase(std::wstring_view text) {
    std::wstring upper(text);
    for (wchar_t& c : upper) c = static_cast<wchar_t>(std::towupper(static_cast<std::wint_t>(c)));
    return upper;
}

std::wstring_view LastComponent(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

bool IsDotOrDotDot(std::wstring_view name) { return name == L"." || name == L".."; }

bool IsBlank(std::wstring_view text) { return text.find_first_not_of(L' ') == std::wstring_view::npos; }

std::wstring LineDrive(std::wstring_view line) { return std::wstring(line.substr(0, 2)); }

std::optional<std::wstring_view> DriveOf(std::wstring_view text) {
    if (text.size() == 3 && text[2] == L'\\') text.remove_suffix(1);
    const bool letter = text.size() == 2 && ((text[0] >= L'A' && text[0] <= L'Z') ||
                                             (text[0] >= L'a' && text[0] <= L'z'));
    if (!letter || text[1] != L':') return std::nullopt;
    return text;
}

std::optional<std::wstring_view> RootEntryName(std::wstring_view path) {
    if (path.size() < 4 || !DriveOf(path.substr(0, 3))) return std::nullopt;
    const std::wstring_view name = path.substr(3);
    if (name.find_first_of(L"\\/") != std::wstring_view::npos || IsDotOrDotDot(name)) {
        return std::nullopt;
    }
    return name;
}
