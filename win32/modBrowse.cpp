#include "modBrowse.h"

#include "Win32Api.h"

#include <shlobj.h>

#include <optional>

#include "Owners.h"

namespace modBrowse {
namespace {

// The file-system path of an item, of any length; nothing for an item without one.
std::optional<std::wstring> PathOf(PCIDLIST_ABSOLUTE item) {
    wchar_t* path = nullptr;
    if (FAILED(::SHGetNameFromIDList(item, SIGDN_FILESYSPATH, &path))) return std::nullopt;
    const win32::UniqueShellMemory owner{path};
    return std::wstring(path);
}

// The picker's callback; data is the start folder's text, which outlives the dialog.
int CALLBACK ChooseFolderEvent(HWND dialogWindow, UINT message, LPARAM lParam, LPARAM data) {
    switch (message) {
    case BFFM_INITIALIZED:
        ::SendMessageW(dialogWindow, BFFM_SETSELECTIONW, TRUE, data);
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

std::wstring ChooseFolder(const std::wstring& startFolder, HWND ownerWindow, const std::wstring& title) {
    BROWSEINFOW info{};
    info.hwndOwner = ownerWindow;
    info.lpszTitle = title.c_str();
    info.ulFlags = BIF_RETURNONLYFSDIRS | BIF_DONTGOBELOWDOMAIN | BIF_STATUSTEXT;
    info.lpfn = &ChooseFolderEvent;
    info.lParam = reinterpret_cast<LPARAM>(startFolder.c_str());
    const win32::UniqueShellMemory chosen{::SHBrowseForFolderW(&info)};
    if (!chosen) return {};
    return PathOf(static_cast<PCIDLIST_ABSOLUTE>(chosen.Get())).value_or(std::wstring{});
}

}  // namespace modBrowse
