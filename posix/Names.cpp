#include "Names.h"

#include <optional>

namespace posix {

namespace {

constexpr char32_t kEscapeBase = 0xDC00;

bool IsSurrogate(char32_t point) { return point >= 0xD800 && point <= 0xDFFF; }

std::size_t SequenceLength(unsigned char lead) {
    if (lead < 0x80) return 1;
    if (lead >= 0xC2 && lead <= 0xDF) return 2;
    if (lead >= 0xE0 && lead <= 0xEF) return 3;
    if (lead >= 0xF0 && lead <= 0xF4) return 4;
    return 0;
}

// The code point that bytes (one whole sequence) spell, or nullopt for an invalid sequence.
std::optional<char32_t> DecodeSequence(std::string_view bytes) {
    static constexpr unsigned char kLeadMask[] = {0, 0x7F, 0x1F, 0x0F, 0x07};
    static constexpr char32_t kSmallest[] = {0, 0, 0x80, 0x800, 0x10000};
    char32_t point = static_cast<unsigned char>(bytes[0]) & kLeadMask[bytes.size()];
    for (const char byte : bytes.substr(1)) {
        const auto bits = static_cast<unsigned char>(byte);
        if ((bits & 0xC0) != 0x80) return std::nullopt;
        point = (point << 6) | (bits & 0x3F);
    }
    if (point < kSmallest[bytes.size()] || point > 0x10FFFF || IsSurrogate(point)) {
        return std::nullopt;
    }
    return point;
}

// A name that really holds the stand-in for a backslash keeps its bytes escaped, so the two never
// meet.
constexpr char32_t kBackslashStandIn = 0xF05C;

void AppendEscaped(std::wstring& wide, std::string_view bytes) {
    for (const char byte : bytes) {
        wide.push_back(static_cast<wchar_t>(kEscapeBase + static_cast<unsigned char>(byte)));
    }
}

void AppendUtf8(std::string& text, char32_t point) {
    if (point < 0x80) {
        text.push_back(static_cast<char>(point));
        return;
    }
    static constexpr unsigned char kLeadBits[] = {0, 0, 0xC0, 0xE0, 0xF0};
    const int length = point < 0x800 ? 2 : point < 0x10000 ? 3 : 4;
    text.push_back(static_cast<char>(kLeadBits[length] | (point >> (6 * (length - 1)))));
    for (int shift = 6 * (length - 2); shift >= 0; shift -= 6) {
        text.push_back(static_cast<char>(0x80 | ((point >> shift) & 0x3F)));
    }
}

}  // namespace

std::wstring ToWide(std::string_view text) {
    std::wstring wide;
    wide.reserve(text.size());
    std::size_t at = 0;
    while (at < text.size()) {
        const auto lead = static_cast<unsigned char>(text[at]);
        const std::size_t length = SequenceLength(lead);
        std::optional<char32_t> point;
        if (length != 0 && at + length <= text.size()) {
            point = DecodeSequence(text.substr(at, length));
        }
        if (!point || *point == kBackslashStandIn) {
            const std::size_t taken = point ? length : 1;
            AppendEscaped(wide, text.substr(at, taken));
            at += taken;
            continue;
        }
        wide.push_back(static_cast<wchar_t>(*point == U'\\' ? kBackslashStandIn : *point));
        at += length;
    }
    return wide;
}

std::string ToUtf8(std::wstring_view wide) {
    std::string text;
    text.reserve(wide.size());
    for (const wchar_t unit : wide) {
        char32_t point = static_cast<char32_t>(unit);
        if (point >= kEscapeBase + 0x80 && point <= kEscapeBase + 0xFF) {
            text.push_back(static_cast<char>(point - kEscapeBase));
            continue;
        }
        if (point == kBackslashStandIn) point = U'\\';
        if (point > 0x10FFFF || IsSurrogate(point)) point = 0xFFFD;
        AppendUtf8(text, point);
    }
    return text;
}

}  // namespace posix
