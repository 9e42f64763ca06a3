#include "app/frmViewer.h"

#include <commctrl.h>
#include <shellapi.h>

#include "app/DoEvents.h"
#include "app/Resources.h"
#include "app/WebSite.h"
#include "shell/Module1.h"

namespace {

constexpr wchar_t kClassName[] = L"VelquorViewer";
constexpr wchar_t kCaption[] = L"Velquor - Limpiador De Virus Y Copia De Seguridad Para Memorias USB";
constexpr COLORREF kStatusColour = RGB(0, 128, 0);

enum ControlId : int {
    kLblStatus = 100,
    kTxtProp,
    kLstViewer,
    kPicCopy,
    kLblCopySt,
    kCheck1,
};

// A font of the given face and size in points (hundredths), as the screen's resolution draws it.
UniqueGdiObject PointFont(const wchar_t* face, int hundredthsOfPoint, int weight) {
    HDC screen = ::GetDC(nullptr);
    const int height = -::MulDiv(hundredthsOfPoint, ::GetDeviceCaps(screen, LOGPIXELSY), 7200);
    ::ReleaseDC(nullptr, screen);
    return UniqueGdiObject{::CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
                                         OUT_DEFAULT_PRECIS, CLIP_DEFAULT_PRECIS, CLEARTYPE_QUALITY,
                                         DEFAULT_PITCH | FF_SWISS, face)};
}

HWND CreateChild(HWND parent, const wchar_t* className, DWORD style, DWORD exStyle, Rect rect, int id) {
    return ::CreateWindowExW(exStyle, className, L"", WS_CHILD | style, rect.left, rect.top, rect.width,
                             rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)),
                             nullptr, nullptr);
}

void SetFont(HWND control, HGDIOBJ font) {
    ::SendMessageW(control, WM_SETFONT, reinterpret_cast<WPARAM>(font), FALSE);
}

}  // namespace

frmViewer::Actions frmViewer::RealActions() {
    return {
        [](HWND owner, const wchar_t* address) {
            ::ShellExecuteW(owner, L"open", address, nullptr, nullptr, SW_SHOWNORMAL);
        },
        [] { ::ExitProcess(0); },
    };
}

frmViewer::frmViewer(HINSTANCE instance, Actions actions)
    : SkinnedWindow(instance, IDR_SKIN_VIEWER),
      actions_(std::move(actions)),
      listing_(files_, lstViewer_, *this, walk_) {}

bool frmViewer::Create() {
    if (!CreateSkinnedWindow(kClassName, kCaption, layout::frmViewer)) return false;
    CreateControls();
    AddHotSpots();
    Form_Load();
    return true;
}

void frmViewer::Show(int showCommand) {
    ::ShowWindow(hWnd(), showCommand);
    ::UpdateWindow(hWnd());
}

void frmViewer::CreateControls() {
    // Created in tab order: lblStatus, txtProp, lstViewer, picCopy (holding lblCopySt), Check1.
    statusFont_ = PointFont(L"Arial", 825, FW_NORMAL);
    copyFont_ = PointFont(L"Arial", 975, FW_BOLD);
    HGDIOBJ guiFont = ::GetStockObject(DEFAULT_GUI_FONT);

    lblStatus_ = CreateChild(hWnd(), L"STATIC", WS_VISIBLE | SS_CENTER, 0, layout::lblStatus, kLblStatus);
    SetFont(lblStatus_, statusFont_.Get());

    txtProp_ = CreateChild(hWnd(), L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY,
                           WS_EX_CLIENTEDGE, layout::txtProp, kTxtProp);
    SetFont(txtProp_, guiFont);

    lstViewer_.Create(hWnd(), layout::lstViewer, kLstViewer);
    SetFont(lstViewer_.hWnd(), guiFont);

    picCopy_ = CreateChild(hWnd(), L"STATIC", 0, WS_EX_CLIENTEDGE, layout::picCopy, kPicCopy);
    lblCopySt_ = CreateChild(picCopy_, L"STATIC", WS_VISIBLE | SS_CENTER, 0, layout::lblCopySt, kLblCopySt);
    SetFont(lblCopySt_, copyFont_.Get());

    // Ticked from the start, because Form_Load hooks the window: the box shows the truth.
    Check1_ = CreateChild(hWnd(), L"BUTTON", WS_VISIBLE | WS_TABSTOP | BS_3STATE, 0,
                          layout::Check1, kCheck1);
    ::SendMessageW(Check1_, BM_SETCHECK, BST_CHECKED, 0);
}

void frmViewer::AddHotSpots() {
    AddHotSpot(layout::mvSALL, [this] { mvSALL_Click(); });
    AddHotSpot(layout::mvSFLD, [this] { mvSFLD_Click(); });
    AddHotSpot(layout::mvSFLS, [this] { mvSFLS_Click(); });
    AddHotSpot(layout::Image1, [this] { Image1_Click(); });
    AddHotSpot(layout::Image4, [this] { Image4_Click(); });
    AddHotSpot(layout::Image5, [this] { Image5_Click(); });
}

void frmViewer::Form_Load() {
    // ViewMode starts at Listed::Nothing with the listing; nothing is listed until asked.
    Module1::InstallAutoPlayHook(hWnd());
}

void frmViewer::mvSALL_Click() { ShowView(Listed::FoldersThenFiles); }

void frmViewer::mvSFLD_Click() { ShowView(Listed::Folders); }

void frmViewer::mvSFLS_Click() { ShowView(Listed::Files); }

void frmViewer::ShowView(Listed view) {
    if (walk_.Running()) return;  // a walk is under way: its list stays its own
    listing_.Show(view);
}

void frmViewer::Image1_Click() { actions_.openWebPage(hWnd(), kWebPageAddress); }

void frmViewer::Image4_Click() { actions_.endProgram(); }

void frmViewer::Image5_Click() { ::ShowWindow(hWnd(), SW_MINIMIZE); }

void frmViewer::Check1_Click() {
    switch (::SendMessageW(Check1_, BM_GETCHECK, 0, 0)) {
    case BST_CHECKED:
        Module1::InstallAutoPlayHook(hWnd());
        break;
    case BST_UNCHECKED:
        Module1::RemoveAutoPlayHook(hWnd());
        break;
    default:
        break;  // greyed: the hook stays as it is
    }
}

void frmViewer::DoEvents() { ::DoEvents(); }

void frmViewer::SetStatusText(const std::wstring& text) { ::SetWindowTextW(lblStatus_, text.c_str()); }

LRESULT frmViewer::ColourStatic(HDC dc, HWND control) {
    if (control == lblStatus_) {
        // Transparent over the skin: the label's background is painted from the skin itself.
        ::SetTextColor(dc, kStatusColour);
        ::SetBkMode(dc, TRANSPARENT);
        POINT origin{layout::lblStatus.left, layout::lblStatus.top};
        ::SetBrushOrgEx(dc, -origin.x, -origin.y, nullptr);
        return reinterpret_cast<LRESULT>(WindowSkin().Brush());
    }
    if (control == txtProp_) {
        // A read-only edit asks like a static; it keeps the white of a text box.
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
    }
    return DefaultMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

LRESULT frmViewer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
        return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_COMMAND:
        if (LOWORD(wParam) == kCheck1 && HIWORD(wParam) == BN_CLICKED) {
            // A click ticks or unticks the box; only the program ever greys it.
            const bool ticked = ::SendMessageW(Check1_, BM_GETCHECK, 0, 0) == BST_CHECKED;
            ::SendMessageW(Check1_, BM_SETCHECK, ticked ? BST_UNCHECKED : BST_CHECKED, 0);
            Check1_Click();
        }
        return 0;
    case WM_TIMER:
        if (wParam == ListViewEntryList::kDrawTimer) lstViewer_.DrawBatch();
        return 0;
    case WM_CLOSE:
        // Closed by the system (Alt+F4, the taskbar): ends like the "X" hot spot.
        Image4_Click();
        return 0;
    default:
        return DefaultMessage(message, wParam, lParam);
    }
}
