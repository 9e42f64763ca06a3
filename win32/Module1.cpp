#include "Module1.h"

#include "Subclass.h"

namespace Module1 {
namespace {

win32::Subclass& Hooked() {
    static win32::Subclass hooked(&AutoPlayHook);
    return hooked;
}

}  // namespace

UINT AutoPlayMessageId() {
    // The system gives the same number for the same name for the whole session.
    static const UINT id = ::RegisterWindowMessageW(L"QueryCancelAutoPlay");
    return id;
}

void InstallAutoPlayHook(HWND window) { Hooked().Install(window); }

void RemoveAutoPlayHook(HWND window) { Hooked().Remove(window); }

bool IsAutoPlayHooked(HWND window) { return Hooked().IsInstalled(window); }

LRESULT CALLBACK AutoPlayHook(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == AutoPlayMessageId()) return -1;
    return Hooked().CallReplaced(window, message, wParam, lParam);
}

}  // namespace Module1
