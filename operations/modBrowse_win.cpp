#include "operations/modBrowse.h"

#include "listing/Windows_win.h"

#include <shlobj.h>

#include <optional>

#include "listing/Unique.h"

namespace modBrowse {
namespace {

// The start folder of the last call, read by the picker's callback once the dialog is open.
std::wstring ChooseFolderStart;

// Memory the shell allocated for the caller with the COM allocator (item lists, texts).
struct ShellMemoryTraits {
    using Type = void*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type memory) noexcept { ::CoTaskMemFree(memory); }
};
using UniqueShellMemory = Unique<ShellMemoryTraits>;

// The file-system path of an item, of any length; nothing for an item without one.
std::optional<std::wstring> PathOf(PCIDLIST_ABSOLUTE item) {
    wchar_t* path = nullptr;
    if (FAILED(::SHGetNameFromIDList(item, SIGDN_FILESYSPATH, &path))) return std::nullopt;
    const UniqueShellMemory owner{path};
    return std::wstring(path);
}

int CALLBACK ChooseFolderEvent(HWND dialogWindow, UINT message, LPARAM lParam, LPARAM) {
    switch (message) {
    case BFFM_INITIALIZED:
        ::SendMessageW(dialogWindow, BFFM_SETSELECTIONW, TRUE,
                       reinterpret_cast<LPARAM>(ChooseFolderStart.c_str()));
        break;
    case BFFM_SELCHANGED:
        // An item without a path (a virtual folder) keeps the status line as it was.
        if (const auto path = PathOf(reinterpret_cast<PCIDLIST_ABSOLUTE>(lParam))) {
            ::SendMessageW(dialogWindow, BFFM_SETSTATUSTEXTW, 0,
                           reinterpret_cast<LPARAM>(path->c_str()));
        }
        break;
    default:
        break;
    }
    return 0;
}

}  // namespace

std::wstring ChooseFolder(const std::wstring& startFolder, WindowHandle ownerWindow,
                          const std::wstring& title) {
    ChooseFolderStart = startFolder;
    BROWSEINFOW info{};
    info.hwndOwner = static_cast<HWND>(ownerWindow);
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT;
    info.lpfn = &ChooseFolderEvent;
    const UniqueShellMemory chosen{::SHBrowseForFolderW(&info)};
    if (!chosen) return {};
    return PathOf(static_cast<PCIDLIST_ABSOLUTE>(chosen.Get())).value_or(std::wstring{});
}

}  // namespace modBrowse
