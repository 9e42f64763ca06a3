#pragma once

// <windows.h> for the Win32 layer. It spells CopyFile and DeleteFile as macros for its A and W
// pairs; in this program those names are FileSystemService's operations, and the Win32 layer calls
// the W functions by name. Include this instead of <windows.h> wherever the service is seen.
#include <windows.h>

#undef CopyFile
#undef DeleteFile
