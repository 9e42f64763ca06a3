#include "Commands.h"

#include <algorithm>
#include <iterator>

#include "PathText.h"

namespace {

// Programs that run whatever command or script they are handed, malware's usual starters.
constexpr std::wstring_view kInterpreters[] = {
    L"cmd.exe",      L"command.com",  L"wscript.exe",  L"cscript.exe",     L"powershell.exe", L"pwsh.exe",
    L"mshta.exe",    L"rundll32.exe", L"regsvr32.exe", L"msiexec.exe",     L"wmic.exe",       L"forfiles.exe",
    L"conhost.exe",  L"certutil.exe", L"bitsadmin.exe", L"schtasks.exe",   L"msbuild.exe",    L"installutil.exe",
    L"regasm.exe",   L"regsvcs.exe",  L"cmstp.exe",    L"hh.exe",          L"bash.exe",       L"wsl.exe",
};

}  // namespace

std::wstring_view ProgramOf(std::wstring_view command) {
    command.remove_prefix(std::min(command.find_first_not_of(L" \t"), command.size()));
    if (command.starts_with(L'"')) {
        command.remove_prefix(1);
        return command.substr(0, command.find(L'"'));
    }
    return command.substr(0, command.find_first_of(L" \t"));
}

bool IsInterpreter(std::wstring_view program) {
    const std::wstring_view name = LastComponent(program);
    return std::any_of(std::begin(kInterpreters), std::end(kInterpreters),
                       [name](std::wstring_view interpreter) { return SameLetters(name, interpreter); });
}

bool StartsAnInterpreter(std::wstring_view command) {
    std::wstring program(ProgramOf(command));
    if (LastComponent(program).find(L'.') == std::wstring_view::npos) program += L".exe";
    return IsInterpreter(program);
}
