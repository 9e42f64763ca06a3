#pragma once

#include <string>

// The shell's folder picker, in which the user chooses where the backup copy goes.
namespace modBrowse {

// A window's handle as the platform gives it (HWND on Windows).
using WindowHandle = void*;

// Shows the picker modal to ownerWindow with title above the tree and the highlighted folder's
// path in its status line; startFolder, when not empty, is selected when it opens. Returns the
// chosen folder's path (a drive root keeps its trailing backslash), or the empty text when the
// user cancels or the chosen item has no path.
std::wstring ChooseFolder(const std::wstring& startFolder, WindowHandle ownerWindow,
                          const std::wstring& title);

}  // namespace modBrowse
