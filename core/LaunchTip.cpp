#include "LaunchTip.h"

#include <algorithm>
#include <cstdint>
#include <iterator>
#include <unordered_set>
#include <vector>

#include "Commands.h"
#include "IniFacts.h"
#include "PathText.h"
#include "ShellLink.h"

namespace {

constexpr std::wstring_view kRunsAProgram = L"Atención: ejecuta un programa";
constexpr std::wstring_view kOpens = L"Abre: ";
constexpr std::wstring_view kWorkingFolder = L"Carpeta de trabajo: ";
constexpr std::wstring_view kAddress = L"Dirección: ";
constexpr std::wstring_view kRunsOnConnecting = L"Al conectar ejecuta: ";
constexpr std::wstring_view kIcon = L"Icono: ";
constexpr std::wstring_view kUnreadableLink = L"Acceso directo ilegible";
constexpr std::wstring_view kUnreadableAutorun = L"autorun.inf ilegible";

// Malware pads a command with blanks to push its end out of sight: a value is cut here.
constexpr std::size_t kLongestValue = 400;
// A tip shows at most this many of an autorun.inf's values: more would cover the list and take
// long to draw.
constexpr std::size_t kMostValuesShown = 15;

using Lines = std::vector<std::wstring>;

// Characters that would break a line of the tip or turn its text around (a name written to hide
// its real extension).
bool IsHiding(wchar_t c) {
    const auto u = static_cast<std::uint32_t>(c);
    return u < 0x20 || (u >= 0x7F && u <= 0x9F) || u == 0x200E || u == 0x200F || (u >= 0x2028 && u <= 0x202E) ||
           (u >= 0x2066 && u <= 0x2069);
}

std::wstring Line(std::wstring_view label, std::wstring_view value) {
    std::wstring line(label);
    const std::wstring_view shown = value.substr(0, kLongestValue);
    std::transform(shown.begin(), shown.end(), std::back_inserter(line),
                   [](wchar_t c) { return IsHiding(c) ? L'\uFFFD' : c; });
    if (shown.size() < value.size()) line += L'…';
    return line;
}

std::wstring Unreadable(LaunchFileKind kind) {
    return std::wstring(kind == LaunchFileKind::Autorun ? kUnreadableAutorun : kUnreadableLink);
}

Lines ShellLinkTip(ByteView bytes) {
    const auto link = ReadShellLink(bytes);
    if (!link) return {Unreadable(LaunchFileKind::ShellLink)};
    Lines lines;
    if (IsInterpreter(link->target)) lines.emplace_back(kRunsAProgram);
    std::wstring opens = link->target;
    if (!opens.empty() && !link->arguments.empty()) opens += L' ';
    opens += link->arguments;
    if (!opens.empty()) lines.push_back(Line(kOpens, opens));
    if (!link->workingFolder.empty()) lines.push_back(Line(kWorkingFolder, link->workingFolder));
    return lines;
}

Lines InternetShortcutTip(ByteView bytes) {
    const auto shortcut = ReadInternetShortcut(bytes);
    if (!shortcut) return {Unreadable(LaunchFileKind::InternetShortcut)};
    if (shortcut->url.empty()) return {};
    return {Line(kAddress, shortcut->url)};
}

// Values in the order they first come, each once; a set keeps that linear however many a file
// holds (malware pads an autorun.inf with tens of thousands).
class DistinctValues {
public:
    void Add(const std::wstring& value) {
        if (!value.empty() && seen_.insert(value).second) values_.push_back(value);
    }
    const Lines& Values() const { return values_; }

private:
    Lines values_;
    std::unordered_set<std::wstring> seen_;
};

// Every program the drive starts, each once, in the order of the file; then its icons; at most
// kMostValuesShown of them, then how many more there are. The text AutoPlay offers (action=)
// starts nothing and is left out.
Lines AutorunTip(ByteView bytes) {
    const auto values = ReadAutorunInf(bytes);
    if (!values) return {Unreadable(LaunchFileKind::Autorun)};
    DistinctValues runs;
    DistinctValues icons;
    for (const AutorunValue& entry : *values) {
        if (entry.key == AutorunKey::Icon) icons.Add(entry.value);
        if (entry.key != AutorunKey::Icon && entry.key != AutorunKey::Action) runs.Add(entry.value);
    }
    Lines lines;
    const Lines& started = runs.Values();
    if (std::any_of(started.begin(), started.end(), [](const std::wstring& run) { return StartsAnInterpreter(run); })) {
        lines.emplace_back(kRunsAProgram);
    }
    std::size_t shown = 0;
    const auto show = [&](std::wstring_view label, const Lines& values) {
        for (auto value = values.begin(); value != values.end() && shown < kMostValuesShown; ++value, ++shown) {
            lines.push_back(Line(label, *value));
        }
    };
    show(kRunsOnConnecting, started);
    show(kIcon, icons.Values());
    const std::size_t total = started.size() + icons.Values().size();
    if (total > shown) lines.push_back(L"y " + std::to_wstring(total - shown) + L" más");
    return lines;
}

std::wstring Joined(const Lines& lines) {
    std::wstring text;
    for (const std::wstring& line : lines) {
        if (!text.empty()) text += L"\r\n";
        text += line;
    }
    return text;
}

}  // namespace

std::optional<LaunchFileKind> LaunchFileKindOf(std::wstring_view path) {
    const std::wstring_view name = LastComponent(path);
    const auto endsWith = [name](std::wstring_view extension) {
        return name.size() >= extension.size() && SameLetters(name.substr(name.size() - extension.size()), extension);
    };
    if (SameLetters(name, L"autorun.inf")) return LaunchFileKind::Autorun;
    if (endsWith(L".lnk")) return LaunchFileKind::ShellLink;
    if (endsWith(L".url")) return LaunchFileKind::InternetShortcut;
    return std::nullopt;
}

std::wstring LaunchTipText(LaunchFileKind kind, ByteView bytes) {
    switch (kind) {
    case LaunchFileKind::ShellLink:
        return Joined(ShellLinkTip(bytes));
    case LaunchFileKind::InternetShortcut:
        return Joined(InternetShortcutTip(bytes));
    case LaunchFileKind::Autorun:
        return Joined(AutorunTip(bytes));
    }
    return {};
}

std::wstring LaunchTipFor(const std::wstring& line, const FileBytesReader& read) {
    const auto kind = LaunchFileKindOf(line);
    if (!kind) return {};
    FileBytes bytes;
    if (const std::error_code error = read(line, kMostFileBytes + 1, bytes)) {
        return error == std::errc::is_a_directory ? std::wstring() : Unreadable(*kind);
    }
    return LaunchTipText(*kind, bytes);
}
