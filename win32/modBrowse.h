#pragma once

#include "Win32Api.h"

#include <string>

// The shell's folder picker, in which the user chooses where the backup copy goes.
namespace modBrowse {

// Shows the picker modal to ownerWindow with title above the tree and the highlighted folder's
// path in its status line; startFolder, when not empty, is selected when it opens. Returns the
// chosen folder's path (a drive root keeps its trailing backslash), or the empty text when the
// user cancels or the chosen item has no path.
std::wstring ChooseFolder(const std::wstring& startFolder, HWND ownerWindow, const std::wstring& title);

}  // namespace modBrowse
