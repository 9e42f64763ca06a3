#include "SystemDialogs.h"

#include "Resources.h"
#include "modBrowse.h"

void SystemDialogs::Warn(const std::wstring& text) {
    ::MessageBoxW(owner_, text.c_str(), kMessageBoxTitle, MB_OK | MB_ICONEXCLAMATION);
}

void SystemDialogs::Inform(const std::wstring& text) {
    ::MessageBoxW(owner_, text.c_str(), kMessageBoxTitle, MB_OK | MB_ICONINFORMATION);
}

bool SystemDialogs::AskYesNo(const std::wstring& text) {
    return ::MessageBoxW(owner_, text.c_str(), kMessageBoxTitle, MB_YESNO | MB_ICONEXCLAMATION | MB_DEFBUTTON1) ==
           IDYES;
}

std::wstring SystemDialogs::ChooseFolder(const std::wstring& startFolder, const std::wstring& title) {
    return modBrowse::ChooseFolder(startFolder, owner_, title);
}
