#include "DoEvents.h"

namespace {

// Hands one message to its window, letting the window's dialog keys (Tab between controls) work.
void DispatchOne(MSG& message) {
    HWND top = ::GetAncestor(message.hwnd, GA_ROOT);
    if (top && ::IsDialogMessageW(top, &message)) return;
    ::TranslateMessage(&message);
    ::DispatchMessageW(&message);
}

}  // namespace

void DoEvents() {
    MSG message;
    while (::PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
        if (message.message == WM_QUIT) {
            ::PostQuitMessage(static_cast<int>(message.wParam));
            return;
        }
        DispatchOne(message);
    }
}

int RunMessageLoop() {
    MSG message;
    while (::GetMessageW(&message, nullptr, 0, 0) > 0) DispatchOne(message);
    return static_cast<int>(message.wParam);
}
