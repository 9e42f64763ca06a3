#include "IniFacts.h"

#include <algorithm>
#include <functional>
#include <string_view>

#include "PathText.h"
#include "TextDecoding.h"

namespace {

bool StartsWith(ByteView bytes, std::initializer_list<unsigned char> mark) {
    return bytes.size() >= mark.size() && std::equal(mark.begin(), mark.end(), bytes.begin());
}

// The file as text, decoded as Windows' profile reader decodes it.
std::optional<std::wstring> DecodeText(ByteView bytes) {
    if (bytes.size() > kMostFileBytes) return std::nullopt;
    std::wstring text;
    if (StartsWith(bytes, {0xFF, 0xFE}) || StartsWith(bytes, {0xFE, 0xFF})) {
        const ByteView units = bytes.subspan(2);
        if (units.size() % 2 != 0) return std::nullopt;
        text = bytes[0] == 0xFF ? WideFromUtf16Le(units) : WideFromUtf16Be(units);
    } else if (StartsWith(bytes, {0xEF, 0xBB, 0xBF})) {
        const ByteView rest = bytes.subspan(3);
        text = WideFromUtf8({reinterpret_cast<const char*>(rest.data()), rest.size()});
    } else {
        text = WideFromWindows1252(bytes);
    }
    if (text.find(L'\0') != std::wstring::npos) return std::nullopt;
    return text;
}

std::wstring_view Trim(std::wstring_view text) {
    constexpr std::wstring_view kBlanks = L" \t\v\f";
    const size_t first = text.find_first_not_of(kBlanks);
    if (first == std::wstring_view::npos) return {};
    return text.substr(first, text.find_last_not_of(kBlanks) - first + 1);
}

using IniVisitor = std::function<void(std::wstring_view key, std::wstring_view value)>;

// Calls visit for each key=value line of every section called section.
void ForEachValue(std::wstring_view text, std::wstring_view section, const IniVisitor& visit) {
    bool inSection = false;
    while (!text.empty()) {
        const size_t end = std::min(text.find_first_of(L"\r\n"), text.size());
        const std::wstring_view line = Trim(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.empty() || line.front() == L';') continue;
        if (line.front() == L'[') {
            const std::wstring_view name = line.substr(1, line.find(L']') - 1);
            inSection = SameLetters(Trim(name), section);
            continue;
        }
        const size_t equals = line.find(L'=');
        if (inSection && equals != std::wstring_view::npos) {
            visit(Trim(line.substr(0, equals)), Trim(line.substr(equals + 1)));
        }
    }
}

// shell\<verb>\command, with spaces allowed around each part.
bool IsShellCommandKey(std::wstring_view key) {
    const size_t first = key.find(L'\\');
    const size_t last = key.rfind(L'\\');
    if (first == std::wstring_view::npos || first == last) return false;
    return SameLetters(Trim(key.substr(0, first)), L"shell") &&
           !Trim(key.substr(first + 1, last - first - 1)).empty() &&
           SameLetters(Trim(key.substr(last + 1)), L"command");
}

std::optional<AutorunKey> AutorunKeyOf(std::wstring_view key) {
    if (SameLetters(key, L"open")) return AutorunKey::Open;
    if (SameLetters(key, L"shellexecute")) return AutorunKey::ShellExecute;
    if (SameLetters(key, L"action")) return AutorunKey::Action;
    if (SameLetters(key, L"icon")) return AutorunKey::Icon;
    if (IsShellCommandKey(key)) return AutorunKey::ShellCommand;
    return std::nullopt;
}

}  // namespace

std::optional<InternetShortcutFacts> ReadInternetShortcut(ByteView bytes) {
    const auto text = DecodeText(bytes);
    if (!text) return std::nullopt;
    InternetShortcutFacts facts;
    bool found = false;
    ForEachValue(*text, L"InternetShortcut", [&](std::wstring_view key, std::wstring_view value) {
        // The first URL counts, as the profile reader finds it.
        if (found || !SameLetters(key, L"URL")) return;
        facts.url = value;
        found = true;
    });
    return facts;
}

std::optional<std::vector<AutorunValue>> ReadAutorunInf(ByteView bytes) {
    const auto text = DecodeText(bytes);
    if (!text) return std::nullopt;
    std::vector<AutorunValue> values;
    ForEachValue(*text, L"autorun", [&](std::wstring_view key, std::wstring_view value) {
        if (const auto known = AutorunKeyOf(key)) values.push_back({*known, std::wstring(value)});
    });
    return values;
}
