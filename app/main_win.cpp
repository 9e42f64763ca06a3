#include "listing/Windows_win.h"

#include <commctrl.h>

#include "app/ComApartment.h"
#include "app/DoEvents.h"
#include "app/Resources.h"
#include "app/frmViewer.h"

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
