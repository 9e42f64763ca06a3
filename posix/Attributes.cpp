#include "Attributes.h"

#include <linux/magic.h>
#include <linux/msdos_fs.h>
#include <sys/ioctl.h>
#include <sys/statfs.h>
#include <sys/xattr.h>

#include <charconv>
#include <cstdio>
#include <string_view>

#include "TreeWalk.h"

namespace posix {

namespace {

using namespace attributes;

constexpr char kDosAttribute[] = "user.DOSATTRIB";
constexpr Attributes kFatSettable = kReadOnly | kHidden | kSystem | kArchive;

bool OnFat(int fd) {
    struct statfs system {};
    return ::fstatfs(fd, &system) == 0 && system.f_type == MSDOS_SUPER_MAGIC;
}

// "0x22", perhaps followed by a NUL and Samba's own record; anything else reads as no bit, as
// Wine reads it.
Attributes ParseDosAttribute(std::string_view text) {
    text = text.substr(0, text.find('\0'));
    if (text.size() < 3 || !text.starts_with("0x")) return 0;
    Attributes value = 0;
    const char* end = text.data() + text.size();
    const auto [stop, error] = std::from_chars(text.data() + 2, end, value, 16);
    return error == std::errc{} && stop == end ? value : 0;
}

// A file system without extended attributes keeps no bit there.
std::error_code ReadDosAttribute(int fd, Attributes& value) {
    char text[64];
    const ssize_t length = ::fgetxattr(fd, kDosAttribute, text, sizeof text);
    value = length < 0 ? 0 : ParseDosAttribute({text, static_cast<std::size_t>(length)});
    if (length < 0 && errno != ENODATA && errno != ENOTSUP) return LastError();
    return {};
}

// As Wine does, the attribute goes when no bit is left in it.
std::error_code WriteDosAttribute(int fd, Attributes value) {
    if (value == 0) {
        if (::fremovexattr(fd, kDosAttribute) == 0 || errno == ENODATA || errno == ENOTSUP) {
            return {};
        }
        return LastError();
    }
    char text[16];
    const int length = std::snprintf(text, sizeof text, "0x%x", value);
    return ::fsetxattr(fd, kDosAttribute, text, static_cast<std::size_t>(length), 0) == 0
               ? std::error_code{}
               : LastError();
}

std::error_code WriteFatAttributes(int fd, Attributes attributes) {
    __u32 fat = attributes & kFatSettable;
    return ::ioctl(fd, FAT_IOCTL_SET_ATTRIBUTES, &fat) == 0 ? std::error_code{} : LastError();
}

}  // namespace

std::error_code ReadAttributes(int fd, const struct stat& facts, Attributes& attributes) {
    if (OnFat(fd)) {
        __u32 fat = 0;
        if (::ioctl(fd, FAT_IOCTL_GET_ATTRIBUTES, &fat) != 0) return LastError();
        attributes = fat;
        return {};
    }
    Attributes stored = 0;
    if (auto error = ReadDosAttribute(fd, stored)) return error;
    attributes = (stored & ~(kReadOnly | kFolder)) | (IsReadOnly(facts.st_mode) ? kReadOnly : 0) |
                 (S_ISDIR(facts.st_mode) ? kFolder : 0);
    return {};
}

// Read-only takes every write bit away, as Wine does; giving it back gives the owner's.
std::error_code WriteAttributes(int fd, const struct stat& facts, Attributes attributes) {
    if (OnFat(fd)) return WriteFatAttributes(fd, attributes);
    const mode_t mode = facts.st_mode & 07777;
    // The owner may not change the extended attributes of a read-only entry: it is unlocked
    // meanwhile.
    const mode_t now = IsReadOnly(mode) ? mode | S_IWUSR : mode;
    if (now != mode && ::fchmod(fd, now) != 0) return LastError();
    std::error_code error = WriteDosAttribute(fd, attributes & ~(kReadOnly | kFolder));
    const mode_t wanted = error ? mode : (attributes & kReadOnly) ? mode & ~0222 : now;
    if (wanted != now && ::fchmod(fd, wanted) != 0 && !error) error = LastError();
    return error;
}

std::error_code CopyAttributesAndTime(int source, const struct stat& sourceFacts, int copy) {
    Attributes attributes = 0;
    if (auto error = ReadAttributes(source, sourceFacts, attributes)) return error;
    // FAT has no mode beyond read-only, and refuses the rest.
    if (!OnFat(copy) && ::fchmod(copy, sourceFacts.st_mode & 07777) != 0) return LastError();
    struct stat facts {};
    if (::fstat(copy, &facts) != 0) return LastError();
    if (auto error = WriteAttributes(copy, facts, attributes)) return error;
    const timespec times[2] = {{0, UTIME_OMIT}, sourceFacts.st_mtim};
    return ::futimens(copy, times) == 0 ? std::error_code{} : LastError();
}

}  // namespace posix
