#pragma once

#include <optional>
#include <string>
#include <vector>

#include "FileBytes.h"

// What the INI-style files that start things say: an internet shortcut (.url) and a drive's
// autorun.inf. Both are read from their bytes alone; nullopt means the bytes are no such text
// (too large, a NUL character, UTF-16 cut in the middle of a unit).

struct InternetShortcutFacts {
    std::wstring url;  // URL= of [InternetShortcut]; empty when it has none

    bool operator==(const InternetShortcutFacts&) const = default;
};

std::optional<InternetShortcutFacts> ReadInternetShortcut(ByteView bytes);

// The keys of an [autorun] section that tell what the drive starts and shows.
enum class AutorunKey {
    Open,          // open=: the program started when the drive is connected
    ShellExecute,  // shellexecute=: the same, through the shell's associations
    ShellCommand,  // shell\<verb>\command=: the program a verb of the drive's menu starts
    Action,        // action=: the text AutoPlay offers for it
    Icon,          // icon=: the drive's icon
};

struct AutorunValue {
    AutorunKey key;
    std::wstring value;

    bool operator==(const AutorunValue&) const = default;
};

// Every value of those keys in every [autorun] section, in the order of the file. Section and key
// names in any case, spaces around them and around '=' allowed, comment lines (;) skipped;
// UTF-16 and UTF-8 after a byte-order mark, the ANSI code page without one, as Windows reads it.
std::optional<std::vector<AutorunValue>> ReadAutorunInf(ByteView bytes);
