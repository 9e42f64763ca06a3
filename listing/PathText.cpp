#include "listing/PathText.h"

#include <algorithm>
#include <cwctype>

namespace {

std::wstring_view WithoutTrailingSeparators(std::wstring_view path) {
    while (path.size() > 1 && (path.back() == L'\\' || path.back() == L'/')) path.remove_suffix(1);
    return path;
}

}  // namespace

bool SameLetters(std::wstring_view a, std::wstring_view b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](wchar_t x, wchar_t y) {
        return std::towupper(static_cast<std::wint_t>(x)) == std::towupper(static_cast<std::wint_t>(y));
    });
}

std::wstring_view LastComponent(std::wstring_view path) {
    const size_t separator = path.find_last_of(L"\\/");
    return separator == std::wstring_view::npos ? path : path.substr(separator + 1);
}

bool IsSameOrInside(std::wstring_view folder, std::wstring_view candidate) {
    folder = WithoutTrailingSeparators(folder);
    candidate = WithoutTrailingSeparators(candidate);
    if (candidate.size() < folder.size()) return false;
    if (!SameLetters(folder, candidate.substr(0, folder.size()))) return false;
    if (candidate.size() == folder.size()) return true;
    const wchar_t next = candidate[folder.size()];
    return next == L'\\' || next == L'/';
}
