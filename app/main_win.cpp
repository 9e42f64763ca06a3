#include <windows.h>

#include <commctrl.h>
#include <objbase.h>

#include "app/DoEvents.h"
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
    if (!viewer.Create()) return 1;
    viewer.Show(showCommand);
    return RunMessageLoop();
}
