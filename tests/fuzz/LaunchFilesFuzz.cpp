// libFuzzer target: the readers of shell links, internet shortcuts and autorun.inf, through the
// tips they make. Beyond staying within the input (the sanitizers watch), a tip never carries a
// line break of the file's own and never a line longer than a label and a cut value.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "LaunchTip.h"

namespace {

constexpr std::size_t kLongestLine = 30 + 400 + 1;

void CheckLines(std::wstring_view tip) {
    while (!tip.empty()) {
        const std::size_t end = std::min(tip.find(L"\r\n"), tip.size());
        const std::wstring_view line = tip.substr(0, end);
        if (line.size() > kLongestLine) std::abort();
        for (const wchar_t c : line) {
            if (static_cast<std::uint32_t>(c) < 0x20) std::abort();
        }
        tip.remove_prefix(std::min(end + 2, tip.size()));
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const ByteView bytes(data, size);
    for (const LaunchFileKind kind : {LaunchFileKind::ShellLink, LaunchFileKind::InternetShortcut, LaunchFileKind::Autorun}) {
        CheckLines(LaunchTipText(kind, bytes));
    }
    return 0;
}
