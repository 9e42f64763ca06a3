#pragma once

#include "Win32Api.h"

#include <string>

#include "Viewer.h"

// The system's message boxes (titled "=)") and the shell's folder picker, owned by a window of
// ours.
class SystemDialogs final : public MessageBoxes, public FolderChooser {
public:
    void SetOwner(HWND owner) { owner_ = owner; }

    void Warn(const std::wstring& text) override;
    void Inform(const std::wstring& text) override;
    bool AskYesNo(const std::wstring& text) override;
    std::wstring ChooseFolder(const std::wstring& startFolder, const std::wstring& title) override;

private:
    HWND owner_ = nullptr;
};
