#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "FileBytes.h"
#include "FileSystemService.h"

// What malware left in a stick's root, and what it hid there, told from what the listing and the
// launch-file readers know: the entries' names and attributes, and the bytes of the shortcuts and
// of autorun.inf, read as the tip reads them (never run, never resolved). A folder is never judged
// by what it merely holds.

// Why an entry is judged to be the malware's.
enum class Suspicion {
    RunsOnConnecting,         // autorun.inf
    HiddenProgram,            // a hidden or system program or script
    ProgramNamedLikeAFolder,  // "Documentos.exe" beside the folder "Documentos"
    ShortcutRunsAProgram,     // a shortcut to a command interpreter or script host
    ShortcutOpensSomethingHidden,
    FolderOfTheProgram,       // a hidden folder that autorun.inf or a suspicious shortcut opens into
};

// The reason as the tip gives it, after "Sospechoso: ".
std::wstring_view ReasonOf(Suspicion suspicion);

// One entry of a drive's root.
struct RootItem {
    std::wstring name;
    Attributes attributes = 0;
    FileBytes launchBytes;  // a shortcut's, an internet shortcut's or autorun.inf's; empty for others
};

// The suspicion of each item of one root, index for index; nothing for an item judged harmless.
// between is called after each item, so that a window judging a large root keeps answering.
std::vector<std::optional<Suspicion>> JudgeRoot(const std::vector<RootItem>& root, const BetweenItems& between = {});

// An entry the system keeps in a drive's root of its own accord ("System Volume Information",
// "$RECYCLE.BIN", "desktop.ini", another system's metadata): never suspicious, and never what the
// malware hid from the user.
bool IsTheSystemsOwn(std::wstring_view name);

// What the malware typically hid: a hidden or system entry that is neither suspicious nor the
// system's own.
bool IsHiddenFromTheUser(const RootItem& item, const std::optional<Suspicion>& suspicion);
