#include "Form1.h"

#include <span>

#include "Resources.h"
#include "Module1.h"

namespace {

constexpr wchar_t kClassName[] = L"VelquorMonitor";
constexpr wchar_t kCaption[] = L"Estado De Conexión =)";
// The system raises it to the shortest interval it has.
constexpr UINT kTimer1Interval = 1;

}  // namespace

Form1::Form1(HINSTANCE instance, DriveFacts& drives)
    : SkinnedWindow(instance, IDR_PIC_NOT_CONNECTED, Dragging::Never, Minimising::Never),
      drives_(drives),
      plugin_(instance, IDR_PIC_CONNECTED) {}

bool Form1::Create() {
    if (!CreateSkinnedWindow(kClassName, kCaption, layout::Form1::Client)) return false;
    CreateCheck1(layout::Form1::Check1);
    AddHotSpot(layout::Form1::Image1, [this] { Image1_Click(); });
    Form_Load();
    return true;
}

void Form1::Form_Load() {
    int slot = 1;
    for (wchar_t letter = L'D'; letter <= L'P'; ++letter) DriveLetterTable[slot++] = {letter, L':'};
    IdlePicture = &Picture();
    Module1::InstallAutoPlayHook(hWnd());
    ::SetTimer(hWnd(), kTimer1, kTimer1Interval, nullptr);
}

void Form1::Timer1_Timer() {
    // The letters lie in slots 1 to 13.
    const bool found = drives_.AnyRemovable(std::span(DriveLetterTable).subspan(1));
    // One picture a tick: the idle one set for each letter before a removable one would only
    // repaint the window for nothing.
    SetPicture(found ? plugin_ : *IdlePicture);
}

void Form1::Image1_Click() { Unload(); }

LRESULT Form1::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_TIMER:
        if (wParam == kTimer1) Timer1_Timer();
        return 0;
    case WM_DESTROY:
        ::KillTimer(hWnd(), kTimer1);
        return 0;
    default:
        return SkinnedWindow::OnMessage(message, wParam, lParam);
    }
}
