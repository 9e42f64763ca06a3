#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/DoEvents.h"
#include "app/Resources.h"
#include "app/frmViewer.h"

namespace {

// COM for the whole run (the skin decoder and the shell's type names use it); outlives every window.
class ComApartment {
public:
    ComApartment() : initialised_(SUCCEEDED(::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED))) {}
    ComApartment(const ComApartment&) = delete;
    ComApartment& operator=(const ComApartment&) = delete;
    ~ComApartment() {
        if (initialised_) ::CoUninitialize();
    }

private:
    bool initialised_;
};

}  // namespace

int WINAPI wWinMain(HINSTANCE instance, HINSTANCE, PWSTR, int showCommand) {
    ComApartment com;
    INITCOMMONCONTROLSEX controls{sizeof(controls), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
    ::InitCommonControlsEx(&controls);

    frmViewer viewer(instance);
    if (!viewer.Create()) {
        ::MessageBoxW(nullptr, L"No se pudo abrir la ventana de Velquor.", kMessageBoxTitle,
                      MB_OK | MB_ICONEXCLAMATION);
        return 1;
    }
    viewer.Show(showCommand);
    return RunMessageLoop();
}
