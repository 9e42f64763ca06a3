#pragma once

#include <optional>
#include <string>

#include "FileBytes.h"

// What a shell link (.lnk) would start, as its bytes say it.
struct ShellLinkFacts {
    std::wstring target;         // the program or document; empty when the link names no path
    std::wstring arguments;
    std::wstring workingFolder;

    bool operator==(const ShellLinkFacts&) const = default;
};

// Reads a shell link in the documented Shell Link binary format, from its bytes alone: the link is
// never resolved and its target never touched. nullopt when the bytes are no well-formed link (too
// large, another kind of file, or any offset or length that runs outside the file).
std::optional<ShellLinkFacts> ReadShellLink(ByteView bytes);
