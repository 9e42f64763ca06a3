#include "ShellLink.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <utility>

#include "TextDecoding.h"

namespace {

using ClassId = std::array<unsigned char, 16>;

constexpr std::uint32_t kHeaderSize = 0x4C;
// 00021401-0000-0000-C000-000000000046, as the file stores it.
constexpr ClassId kShellLinkClassId = {0x01, 0x14, 0x02, 0x00, 0x00, 0x00, 0x00, 0x00,
                                       0xC0, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x46};
// The shell's "My Computer", the root of an ID list that spells a path on a drive.
constexpr ClassId kMyComputerClassId = {0xE0, 0x4F, 0xD0, 0x20, 0xEA, 0x3A, 0x69, 0x10,
                                        0xA2, 0xD8, 0x08, 0x00, 0x2B, 0x30, 0x30, 0x9D};

enum LinkFlag : std::uint32_t {
    kHasLinkTargetIdList = 0x1,
    kHasLinkInfo = 0x2,
    kHasName = 0x4,
    kHasRelativePath = 0x8,
    kHasWorkingDir = 0x10,
    kHasArguments = 0x20,
    kHasIconLocation = 0x40,
    kIsUnicode = 0x80,
    kForceNoLinkInfo = 0x100,
};

enum LinkInfoFlag : std::uint32_t {
    kVolumeIdAndLocalBasePath = 0x1,
    kCommonNetworkRelativeLink = 0x2,
};
constexpr std::uint32_t kLinkInfoHeaderSize = 0x1C;
constexpr std::uint32_t kLinkInfoHeaderSizeWithUnicode = 0x24;
constexpr std::uint32_t kNetworkLinkSize = 0x14;

constexpr std::uint32_t kEnvironmentBlockSignature = 0xA0000001;
constexpr std::uint32_t kEnvironmentBlockSize = 0x314;
constexpr std::uint32_t kSmallestExtraBlock = 8;  // its size and its signature

// Shell items: the kinds whose layout the shell's own files keep stable.
constexpr unsigned char kItemKindMask = 0x70;
constexpr unsigned char kRootFolderItem = 0x10;
constexpr unsigned char kVolumeItem = 0x20;
constexpr unsigned char kFileEntryItem = 0x30;
constexpr unsigned char kFileEntryUnicodeName = 0x04;
constexpr std::size_t kFileEntryNameAt = 14;
constexpr std::uint32_t kFileEntryExtensionSignature = 0xBEEF0004;

// A bounded stretch of the file. Every read says whether it fits, so no offset or length that the
// file gives is ever used unchecked.
class Bytes {
public:
    explicit Bytes(ByteView view) : view_(view) {}

    std::size_t Size() const { return view_.size(); }
    ByteView View() const { return view_; }

    std::optional<Bytes> Part(std::size_t at, std::size_t length) const {
        if (at > view_.size() || length > view_.size() - at) return std::nullopt;
        return Bytes(view_.subspan(at, length));
    }
    std::optional<unsigned char> U8(std::size_t at) const {
        if (at >= view_.size()) return std::nullopt;
        return view_[at];
    }
    std::optional<std::uint16_t> U16(std::size_t at) const {
        if (!Part(at, 2)) return std::nullopt;
        return static_cast<std::uint16_t>(view_[at] | view_[at + 1] << 8);
    }
    std::optional<std::uint32_t> U32(std::size_t at) const {
        const auto low = U16(at);
        const auto high = U16(at + 2);
        if (!low || !high) return std::nullopt;
        return static_cast<std::uint32_t>(*low | static_cast<std::uint32_t>(*high) << 16);
    }
    bool Holds(std::size_t at, const ClassId& id) const {
        const auto part = Part(at, id.size());
        return part && std::equal(id.begin(), id.end(), part->view_.begin());
    }
    // A string from at up to its zero terminator, which must lie within this stretch.
    std::optional<std::wstring> AnsiZ(std::size_t at) const {
        if (at > view_.size()) return std::nullopt;
        const ByteView rest = view_.subspan(at);
        const auto end = std::find(rest.begin(), rest.end(), 0);
        if (end == rest.end()) return std::nullopt;
        return WideFromWindows1252(rest.first(static_cast<std::size_t>(end - rest.begin())));
    }
    std::optional<std::wstring> Utf16Z(std::size_t at) const {
        for (std::size_t end = at;; end += 2) {
            const auto unit = U16(end);
            if (!unit) return std::nullopt;
            if (*unit == 0) return WideFromUtf16Le(view_.subspan(at, end - at));
        }
    }

private:
    ByteView view_;
};

std::wstring JoinPath(const std::wstring& folder, const std::wstring& name) {
    if (folder.empty() || folder.back() == L'\\') return folder + name;
    return folder + L'\\' + name;
}

// The long name in a file entry's 0xBEEF0004 extension block (Windows XP and later), found
// through the offset in the item's last two bytes; where the name starts depends on the block's
// version.
std::optional<std::wstring> ExtensionBlockName(Bytes item) {
    if (item.Size() < 2) return std::nullopt;
    const auto at = item.U16(item.Size() - 2);
    const auto size = at ? item.U16(*at) : std::nullopt;
    const auto block = size ? item.Part(*at, *size) : std::nullopt;
    if (!block || block->U32(4) != kFileEntryExtensionSignature) return std::nullopt;
    const std::uint16_t version = block->U16(2).value_or(0);
    if (version < 3) return std::nullopt;
    const std::size_t nameAt = version >= 9 ? 46 : version == 8 ? 42 : version == 7 ? 38 : 20;
    return block->Utf16Z(nameAt);
}

// The name of a file or folder item: its long name where the item keeps one, else its primary
// (often 8.3) name.
std::optional<std::wstring> FileEntryName(Bytes item, unsigned char type) {
    if (auto name = ExtensionBlockName(item)) return name;
    return (type & kFileEntryUnicodeName) ? item.Utf16Z(kFileEntryNameAt) : item.AnsiZ(kFileEntryNameAt);
}

// Follows one item of an ID list along the path it spells: false for an item that names no
// file-system path (another virtual folder, or a kind the shell keeps to itself).
bool FollowItem(Bytes item, std::wstring& path) {
    const auto type = item.U8(2);
    if (!type) return false;
    switch (*type & kItemKindMask) {
    case kRootFolderItem:
        return path.empty() && item.Holds(4, kMyComputerClassId);
    case kVolumeItem: {
        const auto drive = path.empty() ? item.AnsiZ(3) : std::nullopt;
        if (!drive) return false;
        path = *drive;
        return true;
    }
    case kFileEntryItem: {
        const auto name = path.empty() ? std::nullopt : FileEntryName(item, *type);
        if (!name) return false;
        path = JoinPath(path, *name);
        return true;
    }
    default:
        return false;
    }
}

// The path an ID list spells; empty when it names something else. nullopt when its items do not
// fit it or it has no terminator.
std::optional<std::wstring> IdListTarget(Bytes list) {
    std::wstring path;
    bool following = true;
    for (std::size_t at = 0;;) {
        const auto size = list.U16(at);
        if (!size) return std::nullopt;
        if (*size == 0) break;
        const auto item = *size >= 2 ? list.Part(at, *size) : std::nullopt;
        if (!item) return std::nullopt;
        following = following && FollowItem(*item, path);
        at += *size;
    }
    if (!following) path.clear();
    return path;
}

// A string of the link info (or of its network link) given by the offset in ansiField, or by the
// offset in unicodeField when that one is present and set.
std::optional<std::wstring> InfoString(Bytes info, std::size_t ansiField, std::optional<std::size_t> unicodeField) {
    const auto unicodeAt = unicodeField ? info.U32(*unicodeField) : std::nullopt;
    if (unicodeField && !unicodeAt) return std::nullopt;
    if (unicodeAt && *unicodeAt != 0) return info.Utf16Z(*unicodeAt);
    const auto ansiAt = info.U32(ansiField);
    if (!ansiAt) return std::nullopt;
    return info.AnsiZ(*ansiAt);
}

std::optional<std::wstring> NetworkName(Bytes info) {
    const auto at = info.U32(20);
    const auto size = at ? info.U32(*at) : std::nullopt;
    const auto link = size ? info.Part(*at, *size) : std::nullopt;
    if (!link || link->Size() < kNetworkLinkSize) return std::nullopt;
    const auto netNameAt = link->U32(8);
    if (!netNameAt) return std::nullopt;
    // A net name offset past the fixed fields means the Unicode offsets follow them.
    const bool unicode = *netNameAt > kNetworkLinkSize;
    return InfoString(*link, 8, unicode ? std::optional<std::size_t>(kNetworkLinkSize) : std::nullopt);
}

// The target the link info spells: a local path or a network share, each followed by the common
// path suffix; empty when it gives neither.
std::optional<std::wstring> LinkInfoTarget(Bytes info) {
    const auto headerSize = info.U32(4);
    const auto flags = info.U32(8);
    if (!headerSize || !flags || *headerSize < kLinkInfoHeaderSize || *headerSize > info.Size()) {
        return std::nullopt;
    }
    const bool unicode = *headerSize >= kLinkInfoHeaderSizeWithUnicode;
    const auto field = [unicode](std::size_t at) { return unicode ? std::optional<std::size_t>(at) : std::nullopt; };
    const auto suffix = InfoString(info, 24, field(32));
    if (!suffix) return std::nullopt;
    if (*flags & kVolumeIdAndLocalBasePath) {
        const auto base = InfoString(info, 16, field(28));
        if (!base) return std::nullopt;
        return *base + *suffix;
    }
    if (*flags & kCommonNetworkRelativeLink) {
        const auto share = NetworkName(info);
        if (!share) return std::nullopt;
        return suffix->empty() ? *share : JoinPath(*share, *suffix);
    }
    return std::wstring();
}

// The target of an environment variables block, unexpanded ("%windir%\system32\cmd.exe").
std::optional<std::wstring> EnvironmentTarget(Bytes block) {
    const auto ansi = block.Part(8, 260);
    const auto unicode = block.Part(268, 520);
    if (block.Size() != kEnvironmentBlockSize || !ansi || !unicode) return std::nullopt;
    const auto wide = unicode->Utf16Z(0);
    if (wide && !wide->empty()) return wide;
    return ansi->AnsiZ(0);
}

// Walks a link from its header to the end of its extra data, checking that every structure the
// header announces fits in the file.
class LinkReader {
public:
    explicit LinkReader(Bytes file) : file_(file) {}

    std::optional<ShellLinkFacts> Read() {
        if (file_.U32(0) != kHeaderSize || !file_.Holds(4, kShellLinkClassId)) return std::nullopt;
        flags_ = file_.U32(20).value_or(0);
        at_ = kHeaderSize;
        ShellLinkFacts facts;
        if (!ReadIdList() || !ReadLinkInfo() || !ReadStrings(facts) || !ReadExtraData()) return std::nullopt;
        // The ID list is what the shell resolves first; the other two stand in when it names no path.
        for (const std::wstring* target : {&idListTarget_, &linkInfoTarget_, &environmentTarget_}) {
            if (!target->empty()) {
                facts.target = *target;
                break;
            }
        }
        return facts;
    }

private:
    bool Has(std::uint32_t flag) const { return (flags_ & flag) != 0; }

    // The next size bytes of the file, which must all be there.
    std::optional<Bytes> Next(std::size_t size) {
        auto part = file_.Part(at_, size);
        if (part) at_ += size;
        return part;
    }

    bool ReadIdList() {
        if (!Has(kHasLinkTargetIdList)) return true;
        const auto size = file_.U16(at_);
        if (!size) return false;
        at_ += 2;
        const auto list = Next(*size);
        const auto target = list ? IdListTarget(*list) : std::nullopt;
        if (!target) return false;
        idListTarget_ = *target;
        return true;
    }

    bool ReadLinkInfo() {
        if (!Has(kHasLinkInfo)) return true;
        const auto size = file_.U32(at_);
        const auto info = size ? Next(*size) : std::nullopt;
        const auto target = info ? LinkInfoTarget(*info) : std::nullopt;
        if (!target) return false;
        if (!Has(kForceNoLinkInfo)) linkInfoTarget_ = *target;
        return true;
    }

    // The counted strings, in the order the format gives them; a string the flags leave out is
    // not there at all.
    bool ReadStrings(ShellLinkFacts& facts) {
        std::wstring ignored;
        const std::pair<LinkFlag, std::wstring*> strings[] = {
            {kHasName, &ignored},
            {kHasRelativePath, &ignored},
            {kHasWorkingDir, &facts.workingFolder},
            {kHasArguments, &facts.arguments},
            {kHasIconLocation, &ignored},
        };
        for (const auto& [flag, text] : strings) {
            if (Has(flag) && !ReadCountedString(*text)) return false;
        }
        return true;
    }

    bool ReadCountedString(std::wstring& text) {
        const auto count = file_.U16(at_);
        if (!count) return false;
        at_ += 2;
        const bool unicode = Has(kIsUnicode);
        const auto bytes = Next(std::size_t{*count} * (unicode ? 2 : 1));
        if (!bytes) return false;
        text = unicode ? WideFromUtf16Le(bytes->View()) : WideFromWindows1252(bytes->View());
        return true;
    }

    // Blocks until the terminal one (a size below 4), which must be there.
    bool ReadExtraData() {
        for (;;) {
            const auto size = file_.U32(at_);
            if (!size) return false;
            if (*size < 4) return true;
            const auto block = *size >= kSmallestExtraBlock ? Next(*size) : std::nullopt;
            if (!block) return false;
            if (block->U32(4) == kEnvironmentBlockSignature) {
                const auto target = EnvironmentTarget(*block);
                if (!target) return false;
                environmentTarget_ = *target;
            }
        }
    }

    Bytes file_;
    std::size_t at_ = 0;
    std::uint32_t flags_ = 0;
    std::wstring idListTarget_;
    std::wstring linkInfoTarget_;
    std::wstring environmentTarget_;
};

}  // namespace

std::optional<ShellLinkFacts> ReadShellLink(ByteView bytes) {
    if (bytes.size() > kMostFileBytes) return std::nullopt;
    return LinkReader(Bytes(bytes)).Read();
}
