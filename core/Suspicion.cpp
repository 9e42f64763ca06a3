#include "Suspicion.h"

#include <algorithm>
#include <functional>
#include <iterator>
#include <unordered_map>

#include "Commands.h"
#include "IniFacts.h"
#include "LaunchTip.h"
#include "PathText.h"
#include "ShellLink.h"

namespace {

constexpr std::wstring_view kSystemsOwn[] = {
    L"System Volume Information", L"$RECYCLE.BIN", L"desktop.ini", L"Thumbs.db",
    // What macOS leaves on a stick it has seen.
    L".Trashes", L".Spotlight-V100", L".fseventsd", L".TemporaryItems", L".DS_Store", L".apdisk",
};
// Prefixes of such names: macOS's AppleDouble files, Linux desktops' trash folders.
constexpr std::wstring_view kSystemsOwnPrefixes[] = {L"._", L".Trash-"};

// Programs and scripts Windows runs when they are opened.
constexpr std::wstring_view kProgramExtensions[] = {
    L"exe", L"scr", L"com", L"pif", L"bat", L"cmd", L"vbs", L"vbe", L"vb",  L"js",  L"jse", L"wsf", L"wsh",
    L"ws",  L"ps1", L"psm1", L"hta", L"cpl", L"dll", L"msi", L"msp", L"jar", L"sct", L"msc", L"reg",
};

// What a command separates its words and paths with; each also ends a name it gives.
constexpr std::wstring_view kPunctuation = L"\"'&|;,=()<>^ \t";
constexpr std::wstring_view kSeparators = L"\\/";
constexpr std::wstring_view kTerminators = L"\\/\"'&|;,=()<>^ \t%";

using attributes::kFolder;

bool IsFolder(const RootItem& item) { return (item.attributes & kFolder) != 0; }

// The name without its program extension ("Documentos" of "Documentos.exe"); nothing when the
// name has none.
std::optional<std::wstring_view> ProgramStem(std::wstring_view name) {
    const size_t dot = name.rfind(L'.');
    if (dot == std::wstring_view::npos || dot == 0) return std::nullopt;
    const std::wstring_view extension = name.substr(dot + 1);
    const bool program = std::any_of(std::begin(kProgramExtensions), std::end(kProgramExtensions),
                                     [extension](std::wstring_view known) { return SameLetters(extension, known); });
    if (!program) return std::nullopt;
    return name.substr(0, dot);
}

// What a launch file starts: each command, everything it names, and whether it starts a command
// interpreter or script host.
struct Started {
    std::wstring text;
    bool interpreter = false;
};

std::vector<Started> WhatItStarts(const RootItem& item) {
    const auto kind = LaunchFileKindOf(item.name);
    if (!kind || IsFolder(item)) return {};
    switch (*kind) {
    case LaunchFileKind::ShellLink: {
        const auto link = ReadShellLink(item.launchBytes);
        if (!link) return {};
        return {{link->target + L' ' + link->arguments, IsInterpreter(link->target)}};
    }
    case LaunchFileKind::InternetShortcut: {
        const auto shortcut = ReadInternetShortcut(item.launchBytes);
        if (!shortcut) return {};
        return {{shortcut->url, IsInterpreter(shortcut->url)}};
    }
    case LaunchFileKind::Autorun: {
        const auto values = ReadAutorunInf(item.launchBytes);
        std::vector<Started> started;
        if (!values) return started;
        for (const AutorunValue& value : *values) {
            if (value.key == AutorunKey::Action) continue;
            const bool runs = value.key != AutorunKey::Icon;
            started.push_back({value.value, runs && StartsAnInterpreter(value.value)});
        }
        return started;
    }
    }
    return {};
}

// A name a command gives for an entry of the root, and whether it goes on into it ("RECYCLER\x").
struct Reference {
    size_t item;
    bool into;
};

// The root's entries by name, as a command may spell them: in any case.
class RootNames {
public:
    RootNames(const std::vector<RootItem>& root, const BetweenItems& between) {
        for (size_t i = 0; i < root.size(); ++i) {
            byName_.emplace(UpperCase(root[i].name), i);
            longest_ = std::max(longest_, root[i].name.size());
            CallBetween(between);
        }
    }

    std::optional<size_t> Find(std::wstring_view name) const {
        const auto found = byName_.find(UpperCase(name));
        if (found == byName_.end()) return std::nullopt;
        return found->second;
    }

    // Calls visit for each entry of the root that text names where a path of the stick begins:
    // after a blank or a quote, or after a drive, "." or a variable such as %cd% and a separator.
    // Only names as long as the longest are tried, so that this stays linear in the text.
    void ForEachReference(std::wstring_view text, const std::function<void(Reference)>& visit) const {
        for (size_t start = 0; start < text.size(); ++start) {
            if (!IsPathStart(text, start)) continue;
            const size_t last = std::min(text.size(), start + longest_);
            for (size_t end = start + 1; end <= last; ++end) {
                if (end < text.size() && kTerminators.find(text[end]) == std::wstring_view::npos) continue;
                const auto item = Find(text.substr(start, end - start));
                if (!item) continue;
                const bool into = end + 1 < text.size() && (text[end] == L'\\' || text[end] == L'/') &&
                                  kTerminators.find(text[end + 1]) == std::wstring_view::npos;
                visit({*item, into});
            }
        }
    }

private:
    // Whether a path of the stick may begin at text[at]: at the start, after a blank, a quote or
    // a command's punctuation, after a variable such as %cd% (the root, separator included), or
    // after a separator that follows the root of a drive ("E:\", "\", ".\", "%~d0\").
    static bool IsPathStart(std::wstring_view text, size_t at) {
        if (at == 0) return true;
        const wchar_t before = text[at - 1];
        if (before == L'%' || kPunctuation.find(before) != std::wstring_view::npos) return true;
        if (kSeparators.find(before) == std::wstring_view::npos) return false;
        const std::wstring_view root = ComponentBefore(text, at - 1);
        return root.empty() || root == L"." || (root.size() == 2 && root[1] == L':') || root.front() == L'%';
    }

    // The component that ends just before text[separator]: from the last terminator before it.
    static std::wstring_view ComponentBefore(std::wstring_view text, size_t separator) {
        const std::wstring_view before = text.substr(0, separator);
        const size_t terminator = before.find_last_of(kTerminators.substr(0, kTerminators.size() - 1));
        return terminator == std::wstring_view::npos ? before : before.substr(terminator + 1);
    }

    std::unordered_map<std::wstring, size_t> byName_;
    size_t longest_ = 0;
};

std::optional<Suspicion> JudgeAlone(const RootItem& item, const RootNames& names, const std::vector<RootItem>& root) {
    if (IsFolder(item)) return std::nullopt;
    if (SameLetters(item.name, L"autorun.inf")) return Suspicion::RunsOnConnecting;
    if (const auto stem = ProgramStem(item.name)) {
        if (attributes::HiddenOrSystem(item.attributes)) return Suspicion::HiddenProgram;
        const auto folder = names.Find(*stem);
        if (folder && IsFolder(root[*folder])) return Suspicion::ProgramNamedLikeAFolder;
        return std::nullopt;
    }
    const std::vector<Started> started = WhatItStarts(item);
    if (std::any_of(started.begin(), started.end(), [](const Started& command) { return command.interpreter; })) {
        return Suspicion::ShortcutRunsAProgram;
    }
    bool opensHidden = false;
    for (const Started& command : started) {
        names.ForEachReference(command.text, [&](Reference reference) {
            opensHidden = opensHidden || attributes::HiddenOrSystem(root[reference.item].attributes);
        });
    }
    if (opensHidden) return Suspicion::ShortcutOpensSomethingHidden;
    return std::nullopt;
}

}  // namespace

std::wstring_view ReasonOf(Suspicion suspicion) {
    switch (suspicion) {
    case Suspicion::RunsOnConnecting: return L"se ejecuta al conectar la memoria";
    case Suspicion::HiddenProgram: return L"programa oculto";
    case Suspicion::ProgramNamedLikeAFolder: return L"programa con el nombre de una carpeta";
    case Suspicion::ShortcutRunsAProgram: return L"acceso directo que ejecuta un programa";
    case Suspicion::ShortcutOpensSomethingHidden: return L"acceso directo que abre algo oculto de la memoria";
    case Suspicion::FolderOfTheProgram: return L"carpeta con el programa que abren los accesos directos";
    }
    return {};
}

bool IsTheSystemsOwn(std::wstring_view name) {
    const auto named = [name](std::wstring_view own) { return SameLetters(name, own); };
    const auto prefixed = [name](std::wstring_view prefix) {
        return name.size() > prefix.size() && SameLetters(name.substr(0, prefix.size()), prefix);
    };
    return std::any_of(std::begin(kSystemsOwn), std::end(kSystemsOwn), named) ||
           std::any_of(std::begin(kSystemsOwnPrefixes), std::end(kSystemsOwnPrefixes), prefixed);
}

std::vector<std::optional<Suspicion>> JudgeRoot(const std::vector<RootItem>& root, const BetweenItems& between) {
    const RootNames names(root, between);
    std::vector<std::optional<Suspicion>> judged(root.size());
    for (size_t i = 0; i < root.size(); ++i) {
        if (!IsTheSystemsOwn(root[i].name)) judged[i] = JudgeAlone(root[i], names, root);
        CallBetween(between);
    }
    // The hidden folders that autorun.inf or a suspicious shortcut opens into hold the program.
    for (size_t i = 0; i < root.size(); ++i) {
        if (!judged[i] || !LaunchFileKindOf(root[i].name)) continue;
        for (const Started& command : WhatItStarts(root[i])) {
            names.ForEachReference(command.text, [&](Reference reference) {
                const RootItem& folder = root[reference.item];
                if (!reference.into || !IsFolder(folder) || !attributes::HiddenOrSystem(folder.attributes) ||
                    IsTheSystemsOwn(folder.name) || judged[reference.item]) {
                    return;
                }
                judged[reference.item] = Suspicion::FolderOfTheProgram;
            });
        }
    }
    return judged;
}

// A folder named autorun.inf is no file of the user's either: tools put it there to keep malware
// from writing the real one.
bool IsHiddenFromTheUser(const RootItem& item, const std::optional<Suspicion>& suspicion) {
    return attributes::HiddenOrSystem(item.attributes) && !suspicion && !IsTheSystemsOwn(item.name) &&
           !SameLetters(item.name, L"autorun.inf");
}
