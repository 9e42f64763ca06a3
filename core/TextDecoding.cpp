#include "TextDecoding.h"

namespace {

constexpr char32_t kReplacement = 0xFFFD;

bool IsHighSurrogate(char32_t unit) { return unit >= 0xD800 && unit <= 0xDBFF; }
bool IsLowSurrogate(char32_t unit) { return unit >= 0xDC00 && unit <= 0xDFFF; }

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

template <bool kLittleEndian> std::wstring WideFromUtf16(ByteView bytes) {
    const auto unitAt = [bytes](std::size_t i) -> char32_t {
        const unsigned first = bytes[2 * i];
        const unsigned second = bytes[2 * i + 1];
        return kLittleEndian ? (second << 8 | first) : (first << 8 | second);
    };
    const std::size_t units = bytes.size() / 2;
    std::wstring wide;
    wide.reserve(units);
    for (std::size_t i = 0; i < units; ++i) {
        const char32_t unit = unitAt(i);
        if (IsHighSurrogate(unit) && i + 1 < units && IsLowSurrogate(unitAt(i + 1))) {
            Append(wide, 0x10000 + ((unit - 0xD800) << 10) + (unitAt(++i) - 0xDC00));
        } else {
            Append(wide, IsHighSurrogate(unit) || IsLowSurrogate(unit) ? kReplacement : unit);
        }
    }
    return wide;
}

// 0x80 to 0x9F; the five bytes the code page leaves unassigned keep their own value, as Windows
// maps them.
constexpr char16_t kWindows1252High[32] = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

}  // namespace

std::wstring WideFromUtf8(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    for (std::size_t at = 0; at < text.size();) Append(wide, NextCodePoint(text, at));
    return wide;
}

std::wstring WideFromUtf16Le(ByteView bytes) { return WideFromUtf16<true>(bytes); }

std::wstring WideFromUtf16Be(ByteView bytes) { return WideFromUtf16<false>(bytes); }

std::wstring WideFromWindows1252(ByteView bytes) {
    std::wstring wide;
    wide.reserve(bytes.size());
    for (const unsigned char byte : bytes) {
        const bool high = byte >= 0x80 && byte <= 0x9F;
        wide.push_back(static_cast<wchar_t>(high ? kWindows1252High[byte - 0x80] : byte));
    }
    return wide;
}
