#pragma once

#include <fcntl.h>

#include <filesystem>
#include <optional>

#include "Attributes.h"
#include "TreeWalk.h"

// A host entry's attributes as the POSIX service keeps them; nothing for a link or an entry that
// will not open.
inline std::optional<Attributes> AttributesOf(const std::filesystem::path& host) {
    posix::UniqueFd entry;
    struct stat facts {};
    Attributes attributes = 0;
    if (posix::OpenAsItself(AT_FDCWD, host.string(), entry, facts) ||
        posix::ReadAttributes(entry.Get(), facts, attributes)) {
        return std::nullopt;
    }
    return attributes;
}
