#include "Win32Api.h"

#include <commctrl.h>

#include "ComApartment.h"
#include "DoEvents.h"
#include "Resources.h"
#include "frmViewer.h"

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
