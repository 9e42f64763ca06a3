#include "listing/Utf8.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

// The code point starting at text[at], and how many bytes it took.
char32_t NextCodePoint(std::string_view text, std::size_t& at) {
    const auto lead = static_cast<unsigned char>(text[at++]);
    if (lead < 0x80) return lead;
    const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
    if (length == 0 || lead > 0xF4) return kReplacement;
    char32_t point = lead & (0x3F >> (length - 1));
    for (int i = 1; i < length; ++i) {
        if (at >= text.size() || (static_cast<unsigned char>(text[at]) & 0xC0) != 0x80) return kReplacement;
        point = (point << 6) | (static_cast<unsigned char>(text[at++]) & 0x3F);
    }
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    const bool surrogate = point >= 0xD800 && point <= 0xDFFF;
    return point < kSmallest[length] || point > 0x10FFFF || surrogate ? kReplacement : point;
}

void Append(std::wstring& wide, char32_t point) {
    if constexpr (sizeof(wchar_t) == 2) {
        if (point >= 0x10000) {
            point -= 0x10000;
            wide.push_back(static_cast<wchar_t>(0xD800 + (point >> 10)));
            wide.push_back(static_cast<wchar_t>(0xDC00 + (point & 0x3FF)));
            return;
        }
    }
    wide.push_back(static_cast<wchar_t>(point));
}

}  // namespace

std::wstring WideFromUtf8(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) Append(wide, NextCodePoint(text, at));
    return wide;
}
