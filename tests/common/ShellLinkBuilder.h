#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "FileBytes.h"

// Shell links written byte by byte as the Shell Link binary format documents them ([MS-SHLLINK]),
// for the tests, the fuzzer's corpus and the Wine suite's test drives. Wide strings go out as
// UTF-16LE whatever the width of wchar_t; ANSI strings are given as their Windows-1252 bytes.
namespace shell_link {

inline void PutU16(FileBytes& out, std::uint32_t value) {
    out.push_back(static_cast<unsigned char>(value));
    out.push_back(static_cast<unsigned char>(value >> 8));
}

inline void PutU32(FileBytes& out, std::uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

inline void PutBytes(FileBytes& out, std::string_view bytes) { out.insert(out.end(), bytes.begin(), bytes.end()); }

inline void PutAnsiZ(FileBytes& out, std::string_view text) {
    PutBytes(out, text);
    out.push_back(0);
}

inline FileBytes Utf16Le(std::wstring_view text) {
    FileBytes out;
    for (const wchar_t c : text) {
        auto point = static_cast<std::uint32_t>(c);
        if (point >= 0x10000) {
            point -= 0x10000;
            PutU16(out, 0xD800 + (point >> 10));
            PutU16(out, 0xDC00 + (point & 0x3FF));
        } else {
            PutU16(out, point);
        }
    }
    return out;
}

inline void PutUtf16Z(FileBytes& out, std::wstring_view text) {
    const FileBytes units = Utf16Le(text);
    out.insert(out.end(), units.begin(), units.end());
    PutU16(out, 0);
}

inline void Append(FileBytes& out, const FileBytes& more) { out.insert(out.end(), more.begin(), more.end()); }

// LinkFlags.
constexpr std::uint32_t kHasLinkTargetIdList = 0x1;
constexpr std::uint32_t kHasLinkInfo = 0x2;
constexpr std::uint32_t kHasName = 0x4;
constexpr std::uint32_t kHasRelativePath = 0x8;
constexpr std::uint32_t kHasWorkingDir = 0x10;
constexpr std::uint32_t kHasArguments = 0x20;
constexpr std::uint32_t kHasIconLocation = 0x40;
constexpr std::uint32_t kIsUnicode = 0x80;
constexpr std::uint32_t kForceNoLinkInfo = 0x100;
constexpr std::uint32_t kHasExpString = 0x200;

// Shell items of a target ID list. Their layout is the shell's own (not part of [MS-SHLLINK]);
// these follow the items that Windows writes, as in the format's documented sample.
inline FileBytes Item(unsigned char type, const FileBytes& data) {
    FileBytes item;
    PutU16(item, static_cast<std::uint32_t>(data.size() + 3));
    item.push_back(type);
    Append(item, data);
    return item;
}

inline FileBytes MyComputerItem() {
    return Item(0x1F, {0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30,
                       0x9D});
}

// A root other than My Computer (the control panel): its items spell no file-system path.
inline FileBytes ControlPanelItem() {
    return Item(0x1F, {0x50, 0x20, 0x20, 0xEC, 0x21, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xDD, 0x08, 0x00, 0x2B, 0x30, 0x30,
                       0x9D});
}

inline FileBytes VolumeItem(std::string_view drive) {
    FileBytes data;
    PutAnsiZ(data, drive);
    data.resize(22, 0);
    return Item(0x2F, data);
}

// A file entry item (0x32 a file, 0x31 a folder) with its primary name in ANSI and, from
// extensionVersion 3 on, its long name in a 0xBEEF0004 extension block of that version.
inline FileBytes FileEntryItem(std::string_view primaryName, std::wstring_view longName, std::uint16_t extensionVersion,
                               bool folder = false) {
    FileBytes item = {0, 0, static_cast<unsigned char>(folder ? 0x31 : 0x32), 0};
    PutU32(item, 0);                   // size
    PutU32(item, 0);                   // modified, FAT date and time
    PutU16(item, folder ? 0x10 : 0x20);  // attributes
    PutAnsiZ(item, primaryName);
    if (item.size() % 2 != 0) item.push_back(0);
    const auto extensionAt = static_cast<std::uint32_t>(item.size());
    if (extensionVersion >= 3) {
        const std::size_t nameAt = extensionVersion >= 9 ? 46 : extensionVersion == 8 ? 42 : extensionVersion == 7 ? 38 : 20;
        FileBytes block;
        PutU16(block, 0);  // its size, set below
        PutU16(block, extensionVersion);
        PutU32(block, 0xBEEF0004);
        block.resize(nameAt, 0);
        PutUtf16Z(block, longName);
        PutU16(block, extensionAt);
        block[0] = static_cast<unsigned char>(block.size());
        block[1] = static_cast<unsigned char>(block.size() >> 8);
        Append(item, block);
    } else {
        PutU16(item, 0);
    }
    item[0] = static_cast<unsigned char>(item.size());
    item[1] = static_cast<unsigned char>(item.size() >> 8);
    return item;
}

// The same file entry with its primary name in UTF-16 (type flag 0x04) and no extension block.
inline FileBytes UnicodeFileEntryItem(std::wstring_view name) {
    FileBytes data = {0};
    PutU32(data, 0);
    PutU32(data, 0);
    PutU16(data, 0x20);
    PutUtf16Z(data, name);
    PutU16(data, 0);
    return Item(0x36, data);
}

// A whole link: header, then what was set, in the order of the format.
class Builder {
public:
    Builder& IdList(const std::vector<FileBytes>& items) {
        flags_ |= kHasLinkTargetIdList;
        idList_.clear();
        for (const FileBytes& item : items) Append(idList_, item);
        PutU16(idList_, 0);
        return *this;
    }
    // Link info with a volume and a local base path (ANSI, and also UTF-16 when unicodeBase is
    // given), followed by the common path suffix.
    Builder& LocalPath(std::string_view base, std::string_view suffix = "", std::wstring_view unicodeBase = {}) {
        flags_ |= kHasLinkInfo;
        const bool unicode = !unicodeBase.empty();
        const std::uint32_t headerSize = unicode ? 0x24 : 0x1C;
        FileBytes volume;
        PutU32(volume, 0x11);  // size
        PutU32(volume, 3);     // a fixed drive
        PutU32(volume, 0x307A8A81);
        PutU32(volume, 0x10);  // label offset
        volume.push_back(0);
        const auto baseAt = static_cast<std::uint32_t>(headerSize + volume.size());
        const auto suffixAt = static_cast<std::uint32_t>(baseAt + base.size() + 1);
        const auto unicodeBaseAt = static_cast<std::uint32_t>(suffixAt + suffix.size() + 1);
        FileBytes body = volume;
        PutAnsiZ(body, base);
        PutAnsiZ(body, suffix);
        if (unicode) {
            PutUtf16Z(body, unicodeBase);
            PutUtf16Z(body, L"");
        }
        const auto unicodeSuffixAt = static_cast<std::uint32_t>(headerSize + body.size() - 2);
        linkInfo_ = LinkInfoHeader(headerSize, 1, headerSize, baseAt, 0, suffixAt, body.size());
        if (unicode) {
            PutU32(linkInfo_, unicodeBaseAt);
            PutU32(linkInfo_, unicodeSuffixAt);
        }
        Append(linkInfo_, body);
        return *this;
    }
    // Link info with a network share and the common path suffix below it.
    Builder& NetworkPath(std::string_view share, std::string_view suffix) {
        flags_ |= kHasLinkInfo;
        FileBytes network;
        PutU32(network, static_cast<std::uint32_t>(0x14 + share.size() + 1));
        PutU32(network, 0);     // flags: no device, no provider
        PutU32(network, 0x14);  // net name offset
        PutU32(network, 0);     // device name offset
        PutU32(network, 0);     // provider type
        PutAnsiZ(network, share);
        const std::uint32_t networkAt = 0x1C;
        const auto suffixAt = static_cast<std::uint32_t>(networkAt + network.size());
        FileBytes body = network;
        PutAnsiZ(body, suffix);
        linkInfo_ = LinkInfoHeader(0x1C, 2, 0, 0, networkAt, suffixAt, body.size());
        Append(linkInfo_, body);
        return *this;
    }
    Builder& Name(std::wstring_view text) { return String(kHasName, name_, text); }
    Builder& RelativePath(std::wstring_view text) { return String(kHasRelativePath, relativePath_, text); }
    Builder& WorkingFolder(std::wstring_view text) { return String(kHasWorkingDir, workingFolder_, text); }
    Builder& Arguments(std::wstring_view text) { return String(kHasArguments, arguments_, text); }
    Builder& IconLocation(std::wstring_view text) { return String(kHasIconLocation, iconLocation_, text); }
    // Strings in the ANSI code page instead of UTF-16 (for text that Windows-1252 holds).
    Builder& AnsiStrings() {
        unicode_ = false;
        return *this;
    }
    Builder& Flags(std::uint32_t more) {
        flags_ |= more;
        return *this;
    }
    // An environment variables block naming the target unexpanded.
    Builder& EnvironmentTarget(std::wstring_view target) {
        flags_ |= kHasExpString;
        FileBytes block;
        PutU32(block, 0x314);
        PutU32(block, 0xA0000001);
        FileBytes ansi(260, 0);
        for (std::size_t i = 0; i < target.size() && i < 259; ++i) ansi[i] = static_cast<unsigned char>(target[i]);
        Append(block, ansi);
        FileBytes unicode = Utf16Le(target);
        unicode.resize(520, 0);
        Append(block, unicode);
        Append(extraData_, block);
        return *this;
    }

    FileBytes Bytes() const {
        FileBytes out;
        PutU32(out, 0x4C);
        Append(out, {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46});
        PutU32(out, flags_ | (unicode_ ? kIsUnicode : 0));
        PutU32(out, 0x20);  // the target's attributes: an ordinary file
        out.resize(out.size() + 3 * 8 + 4 + 4, 0);  // three times, its size, its icon index
        PutU32(out, 1);  // shown normally
        out.resize(0x4C, 0);
        if (flags_ & kHasLinkTargetIdList) {
            PutU16(out, static_cast<std::uint32_t>(idList_.size()));
            Append(out, idList_);
        }
        Append(out, linkInfo_);
        for (const auto& [flag, text] : {std::pair{kHasName, &name_}, std::pair{kHasRelativePath, &relativePath_},
                                         std::pair{kHasWorkingDir, &workingFolder_}, std::pair{kHasArguments, &arguments_},
                                         std::pair{kHasIconLocation, &iconLocation_}}) {
            if (flags_ & flag) PutCounted(out, *text);
        }
        Append(out, extraData_);
        PutU32(out, 0);  // the terminal block
        return out;
    }

private:
    static FileBytes LinkInfoHeader(std::uint32_t headerSize, std::uint32_t flags, std::uint32_t volumeAt,
                                    std::uint32_t baseAt, std::uint32_t networkAt, std::uint32_t suffixAt,
                                    std::size_t bodySize) {
        FileBytes header;
        PutU32(header, static_cast<std::uint32_t>(headerSize + bodySize));
        PutU32(header, headerSize);
        PutU32(header, flags);
        PutU32(header, volumeAt);
        PutU32(header, baseAt);
        PutU32(header, networkAt);
        PutU32(header, suffixAt);
        return header;
    }

    Builder& String(std::uint32_t flag, std::wstring& field, std::wstring_view text) {
        flags_ |= flag;
        field = text;
        return *this;
    }

    void PutCounted(FileBytes& out, const std::wstring& text) const {
        if (unicode_) {
            const FileBytes units = Utf16Le(text);
            PutU16(out, static_cast<std::uint32_t>(units.size() / 2));
            Append(out, units);
            return;
        }
        PutU16(out, static_cast<std::uint32_t>(text.size()));
        for (const wchar_t c : text) out.push_back(static_cast<unsigned char>(c));
    }

    std::uint32_t flags_ = 0;
    bool unicode_ = true;
    FileBytes idList_;
    FileBytes linkInfo_;
    FileBytes extraData_;
    std::wstring name_;
    std::wstring relativePath_;
    std::wstring workingFolder_;
    std::wstring arguments_;
    std::wstring iconLocation_;
};

// The sample of [MS-SHLLINK] section 3.1: a link to C:\test\a.txt, with an ID list (My Computer,
// C:\, test, a.txt), link info, a relative path, a working folder and a tracker block.
inline FileBytes DocumentedSample() {
    return {
        0x4C, 0x00, 0x00, 0x00, 0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00, 0xC0, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x46, 0x9B, 0x00, 0x08, 0x00, 0x20, 0x00, 0x00, 0x00, 0xD0, 0xE9, 0xEE, 0xF2,
        0x15, 0x15, 0xC9, 0x01, 0xD0, 0xE9, 0xEE, 0xF2, 0x15, 0x15, 0xC9, 0x01, 0xD0, 0xE9, 0xEE, 0xF2,
        0x15, 0x15, 0xC9, 0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0xBD, 0x00, 0x14, 0x00,
        0x1F, 0x50, 0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10, 0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30,
        0x30, 0x9D, 0x19, 0x00, 0x2F, 0x43, 0x3A, 0x5C, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46, 0x00, 0x31, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x2C, 0x39, 0x69, 0xA3, 0x10, 0x00, 0x74, 0x65, 0x73, 0x74, 0x00, 0x00, 0x32,
        0x00, 0x07, 0x00, 0x04, 0x00, 0xEF, 0xBE, 0x2C, 0x39, 0x65, 0xA3, 0x2C, 0x39, 0x69, 0xA3, 0x26,
        0x00, 0x00, 0x00, 0x03, 0x1E, 0x00, 0x00, 0x00, 0x00, 0xF5, 0x1E, 0x00, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x74, 0x00, 0x65, 0x00, 0x73, 0x00, 0x74, 0x00, 0x00, 0x00, 0x14,
        0x00, 0x48, 0x00, 0x32, 0x00, 0x00, 0x00, 0x00, 0x00, 0x2C, 0x39, 0x69, 0xA3, 0x20, 0x00, 0x61,
        0x2E, 0x74, 0x78, 0x74, 0x00, 0x34, 0x00, 0x07, 0x00, 0x04, 0x00, 0xEF, 0xBE, 0x2C, 0x39, 0x69,
        0xA3, 0x2C, 0x39, 0x69, 0xA3, 0x26, 0x00, 0x00, 0x00, 0x2D, 0x6E, 0x00, 0x00, 0x00, 0x00, 0x96,
        0x01, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x61, 0x00, 0x2E, 0x00, 0x74,
        0x00, 0x78, 0x00, 0x74, 0x00, 0x00, 0x00, 0x14, 0x00, 0x00, 0x00, 0x3C, 0x00, 0x00, 0x00, 0x1C,
        0x00, 0x00, 0x00, 0x01, 0x00, 0x00, 0x00, 0x1C, 0x00, 0x00, 0x00, 0x2D, 0x00, 0x00, 0x00, 0x00,
        0x00, 0x00, 0x00, 0x3B, 0x00, 0x00, 0x00, 0x11, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0x00, 0x81,
        0x8A, 0x7A, 0x30, 0x10, 0x00, 0x00, 0x00, 0x00, 0x43, 0x3A, 0x5C, 0x74, 0x65, 0x73, 0x74, 0x5C,
        0x61, 0x2E, 0x74, 0x78, 0x74, 0x00, 0x00, 0x07, 0x00, 0x2E, 0x00, 0x5C, 0x00, 0x61, 0x00, 0x2E,
        0x00, 0x74, 0x00, 0x78, 0x00, 0x74, 0x00, 0x07, 0x00, 0x43, 0x00, 0x3A, 0x00, 0x5C, 0x00, 0x74,
        0x00, 0x65, 0x00, 0x73, 0x00, 0x74, 0x00, 0x60, 0x00, 0x00, 0x00, 0x03, 0x00, 0x00, 0xA0, 0x58,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x63, 0x68, 0x72, 0x69, 0x73, 0x2D, 0x78, 0x70, 0x73,
        0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x40, 0x78, 0xC7, 0x94, 0x47, 0xFA, 0xC7, 0x46, 0xB3,
        0x56, 0x5C, 0x2D, 0xC6, 0xB6, 0xD1, 0x15, 0xEC, 0x46, 0xCD, 0x7B, 0x22, 0x7F, 0xDD, 0x11, 0x94,
        0x99, 0x00, 0x13, 0x72, 0x16, 0x87, 0x4A, 0x40, 0x78, 0xC7, 0x94, 0x47, 0xFA, 0xC7, 0x46, 0xB3,
        0x56, 0x5C, 0x2D, 0xC6, 0xB6, 0xD1, 0x15, 0xEC, 0x46, 0xCD, 0x7B, 0x22, 0x7F, 0xDD, 0x11, 0x94,
        0x99, 0x00, 0x13, 0x72, 0x16, 0x87, 0x4A, 0x00, 0x00, 0x00, 0x00,
    };
}

}  // namespace shell_link
