#pragma once

#include "listing/Windows_win.h"

#include <string>

// The calls by which the windows reach beyond themselves. The real ones go to the system; tests
// put in their own, which record what was asked and answer from a script.
class SystemCalls {
public:
    virtual ~SystemCalls() = default;
    // A message box owned by owner; the button pressed (IDOK, IDYES, IDNO).
    virtual int ShowMessage(HWND owner, const std::wstring& text, const wchar_t* title,
                            UINT style) = 0;
    // The shell's folder picker; the chosen path, empty when cancelled.
    virtual std::wstring ChooseFolder(const std::wstring& startFolder, HWND owner,
                                      const std::wstring& title) = 0;
    virtual void OpenWebPage(HWND owner, const wchar_t* address) = 0;
    // Ends the program at once, every window with it.
    virtual void EndProgram() = 0;
};

// The system's own.
SystemCalls& RealSystemCalls();
