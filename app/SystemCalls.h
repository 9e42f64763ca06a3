#pragma once

#include "Win32Api.h"

// What the main window asks of the system beyond the roles its walks use: the maker's web page
// and the end of the program. Tests put in their own, which record what was asked.
class SystemCalls {
public:
    virtual ~SystemCalls() = default;
    virtual void OpenWebPage(HWND owner, const wchar_t* address) = 0;
    // Ends the program at once, every window with it.
    virtual void EndProgram() = 0;
};

// The system's own.
SystemCalls& RealSystemCalls();
