#pragma once

#include "Win32Api.h"

// Keeps the shell's AutoPlay from starting while one of our windows is in the foreground: a
// hooked window answers the registered message "QueryCancelAutoPlay" with -1 (cancel) and passes
// every other message on unchanged to the procedure the hook replaced.
namespace Module1 {

// Hooks window; hooking a window that is already hooked changes nothing.
void InstallAutoPlayHook(HWND window);
// Puts back the procedure that the hook replaced on window; other windows keep their hooks. A
// window subclassed again after the hook keeps it: unhooking would cut the later one off.
void RemoveAutoPlayHook(HWND window);
bool IsAutoPlayHooked(HWND window);
LRESULT CALLBACK AutoPlayHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
// The number the system gives the message "QueryCancelAutoPlay".
UINT AutoPlayMessageId();

}  // namespace Module1
