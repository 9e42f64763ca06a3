#include "frmViewer.h"

#include <windowsx.h>
#include <dbt.h>

#include <algorithm>

#include "DoEvents.h"
#include "Resources.h"
#include "WebSite.h"

#include "LaunchTip.h"
#include "Marking.h"
#include "PathText.h"

#include "Module1.h"

namespace {

constexpr wchar_t kClassName[] = L"VelquorViewer";
constexpr wchar_t kCaption[] = L"Velquor - Limpiador De Virus Y Copia De Seguridad Para Memorias USB";
constexpr COLORREF kStatusColour = RGB(0, 128, 0);

enum MenuCommand : UINT {
    kMarkSuspicious = 1,
    kMarkHidden,
    kShowMarked,
    kUndoAttributes,
};

void AddMenuItem(HMENU menu, UINT command, const wchar_t* text, bool enabled) {
    ::AppendMenuW(menu, MF_STRING | (enabled ? MF_ENABLED : MF_GRAYED), command, text);
}

enum ControlId : int {
    kLblStatus = 100,
    kTxtProp,
    kLstViewer,
    kPicCopy,
    kLblCopySt,
};

// A font of the given face and size in points (hundredths), as the screen's resolution draws it.
win32::UniqueGdiObject PointFont(const wchar_t* face, int hundredthsOfPoint, int weight) {
    const win32::WindowDc screen(nullptr);
    const int height = -::MulDiv(hundredthsOfPoint, ::GetDeviceCaps(screen.Get(), LOGPIXELSY), 7200);
    return win32::UniqueGdiObject{::CreateFontW(height, 0, 0, 0, weight, FALSE, FALSE, FALSE, DEFAULT_CHARSET,
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

frmViewer::frmViewer(HINSTANCE instance) : frmViewer(instance, systemDialogs_, systemDialogs_, RealSystemCalls()) {}

frmViewer::frmViewer(HINSTANCE instance, MessageBoxes& messages, FolderChooser& folders, SystemCalls& system)
    : SkinnedWindow(instance, IDR_SKIN_VIEWER, Dragging::ByTheSkin, Minimising::Allowed),
      system_(system),
      viewer_{files_,    lstViewer_,     *this,    lblStatusText_, txtPropText_, caption_,
              picCopy_, lblCopyStText_, messages, folders,        formats_,     SteadyClock()},
      listing_(viewer_),
      properties_(viewer_),
      deletion_(viewer_, listing_),
      copy_(viewer_),
      unhide_(viewer_, listing_),
      suspicion_(viewer_, listing_),
      reinfection_(viewer_, listing_) {
    lstViewer_.OnClick([this] { lstViewer_Click(); });
    lstViewer_.ShowTips([this](const std::wstring& line) { return TipFor(line); });
}

bool frmViewer::Create() {
    if (!CreateSkinnedWindow(kClassName, kCaption, layout::frmViewer::Client)) return false;
    systemDialogs_.SetOwner(hWnd());
    watcher_ = std::make_unique<win32::RootWatcher>(hWnd(), kRootChanged);
    CreateControls();
    AddHotSpots();
    Form_Load();
    return true;
}

void frmViewer::CreateControls() {
    namespace at = layout::frmViewer;
    // Created in tab order: lblStatus, txtProp, lstViewer, picCopy (holding lblCopySt), Check1.
    statusFont_ = PointFont(L"Arial", 825, FW_NORMAL);
    copyFont_ = PointFont(L"Arial", 975, FW_BOLD);
    HGDIOBJ guiFont = ::GetStockObject(DEFAULT_GUI_FONT);

    // The labels take the mouse (SS_NOTIFY), so that a press on them never drags the window.
    lblStatus_ = CreateChild(hWnd(), L"STATIC", WS_VISIBLE | SS_CENTER | SS_NOTIFY, 0, at::lblStatus,
                             kLblStatus);
    SetFont(lblStatus_, statusFont_.Get());

    txtProp_ = CreateChild(hWnd(), L"EDIT", WS_VISIBLE | WS_TABSTOP | ES_MULTILINE | ES_READONLY,
                           WS_EX_CLIENTEDGE, at::txtProp, kTxtProp);
    SetFont(txtProp_, guiFont);

    lstViewer_.Create(hWnd(), at::lstViewer, kLstViewer);
    SetFont(lstViewer_.hWnd(), guiFont);

    picCopy_.Create(hWnd(), at::picCopy, kPicCopy);
    lblCopySt_ = CreateChild(picCopy_.hWnd(), L"STATIC", WS_VISIBLE | SS_CENTER | SS_NOTIFY, 0,
                             at::lblCopySt, kLblCopySt);
    SetFont(lblCopySt_, copyFont_.Get());

    CreateCheck1(at::Check1);

    lblStatusText_.Attach(lblStatus_);
    txtPropText_.Attach(txtProp_, hWnd(), kTxtPropTimer);
    caption_.Attach(hWnd());
    lblCopyStText_.Attach(lblCopySt_);
}

void frmViewer::AddHotSpots() {
    namespace at = layout::frmViewer;
    AddHotSpot(at::cmdSelAll, [this] { cmdSelAll_Click(); });
    AddHotSpot(at::cmdInvAll, [this] { cmdInvAll_Click(); });
    AddHotSpot(at::cmdClearAll, [this] { cmdClearAll_Click(); });
    AddHotSpot(at::cmdCopy, [this] { cmdCopy_Click(); });
    AddHotSpot(at::cmdDeleteSel, [this] { cmdDeleteSel_Click(); });
    AddHotSpot(at::mvSFLS, [this] { mvSFLS_Click(); });
    AddHotSpot(at::mvSFLD, [this] { mvSFLD_Click(); });
    AddHotSpot(at::mvSALL, [this] { mvSALL_Click(); });
    AddHotSpot(at::Image2, [this] { Image2_Click(); });
    AddHotSpot(at::Image1, [this] { Image1_Click(); });
    AddHotSpot(at::Image3, [this] { Image3_Click(); });
    AddHotSpot(at::Image5, [this] { Image5_Click(); });
    AddHotSpot(at::Image4, [this] { Image4_Click(); });
}

void frmViewer::Form_Load() {
    // ViewMode starts at Listed::Nothing with the listing; nothing is listed until asked. This is
    // the program's start: from here on no path of it raises the system's "insert a disk" box,
    // whatever drive a line names (a card reader whose card was pulled).
    ::SetErrorMode(::GetErrorMode() | SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
    Module1::InstallAutoPlayHook(hWnd());
}

void frmViewer::mvSALL_Click() {
    DriveCommand([this] { listing_.Show(Listed::FoldersThenFiles); });
}

void frmViewer::mvSFLD_Click() {
    DriveCommand([this] { listing_.Show(Listed::Folders); });
}

void frmViewer::mvSFLS_Click() {
    DriveCommand([this] { listing_.Show(Listed::Files); });
}

void frmViewer::cmdSelAll_Click() {
    ListCommand([this] { ChangeEveryMark(lstViewer_, MarkChange::Mark); });
}

void frmViewer::cmdInvAll_Click() {
    ListCommand([this] { ChangeEveryMark(lstViewer_, MarkChange::Invert); });
}

void frmViewer::cmdClearAll_Click() {
    ListCommand([this] { ChangeEveryMark(lstViewer_, MarkChange::Unmark); });
}

void frmViewer::cmdDeleteSel_Click() {
    DriveCommand([this] { deletion_.cmdDeleteSel_Click(); });
}

// A copy lists nothing again: the drive it wrote into is read again, if it is watched.
void frmViewer::cmdCopy_Click() {
    ListCommand([this] {
        copy_.cmdCopy_Click();
        SettleWatchedDrives({LineDrive(copy_.DestinationPath)});
    });
}

void frmViewer::lstViewer_Click() { properties_.lstViewer_Click(); }

void frmViewer::lstViewer_ContextMenu(POINT screen) {
    const win32::UniqueMenu menu{::CreatePopupMenu()};
    const bool free = !walk_.Running();
    AddMenuItem(menu.Get(), kMarkSuspicious, L"Marcar lo sospechoso", free);
    AddMenuItem(menu.Get(), kMarkHidden, L"Marcar lo ocultado", free);
    ::AppendMenuW(menu.Get(), MF_SEPARATOR, 0, nullptr);
    AddMenuItem(menu.Get(), kShowMarked, L"Mostrar elementos marcados (quitar oculto y sistema)",
                unhide_.CanShowMarked());
    AddMenuItem(menu.Get(), kUndoAttributes, L"Deshacer el último cambio de atributos", unhide_.CanUndo());
    const UINT chosen = static_cast<UINT>(::TrackPopupMenuEx(
        menu.Get(), TPM_RETURNCMD | TPM_RIGHTBUTTON | TPM_NONOTIFY, screen.x, screen.y, hWnd(), nullptr));
    switch (chosen) {
    case kMarkSuspicious: return mnuMarkSuspicious_Click();
    case kMarkHidden: return mnuMarkHidden_Click();
    case kShowMarked: return mnuShowMarked_Click();
    case kUndoAttributes: return mnuUndoAttributes_Click();
    default: return;
    }
}

void frmViewer::mnuMarkSuspicious_Click() {
    ListCommand([this] { suspicion_.MarkSuspicious(); });
}

void frmViewer::mnuMarkHidden_Click() {
    ListCommand([this] { suspicion_.MarkHidden(); });
}

void frmViewer::mnuShowMarked_Click() {
    DriveCommand([this] { unhide_.ShowMarkedEntries(); });
}

// Nor does undo: the drives it may have changed are read again.
void frmViewer::mnuUndoAttributes_Click() {
    ListCommand([this] {
        unhide_.UndoLastChange();
        SettleWatchedDrives(listing_.ListedDrives());
    });
}

void frmViewer::SettleWatchedDrives(const std::vector<std::wstring>& changedUnlisted) {
    watcher_->Watch(reinfection_.Settle(changedUnlisted));
}

void frmViewer::Watcher_Notice(wchar_t letter) {
    if (letter == 0) {
        watcher_->Watch(reinfection_.DrivesChanged());
        return;
    }
    reinfection_.Noticed({letter, L':'});
    LookAtRoots();
}

void frmViewer::LookAtRoots() {
    // Not while a command walks: what it changes is the program's own, settled as it ends. A
    // command may start while the watch reads (yielding); the read then leaves what it read.
    bool looked = false;
    if (!walk_.Running()) {
        if (const auto reading = watchReading_.TryBegin()) {
            watcher_->Watch(reinfection_.Look());
            looked = true;
        }
    }
    auto next = reinfection_.NextLook();
    if (!next) return;
    // Refused: tried again shortly, or as the watch's own read ends.
    if (!looked) next = std::max(*next, viewer_.clock.Now() + kLookWhenIdle);
    const auto wait = std::chrono::ceil<std::chrono::milliseconds>(*next - viewer_.clock.Now());
    ::SetTimer(hWnd(), kLookTimer, static_cast<UINT>(std::max<long long>(wait.count(), 1)), nullptr);
}

std::wstring frmViewer::TipFor(const std::wstring& line) {
    const std::wstring launches = LaunchTipFor(line, [this](const std::wstring& path, std::size_t most, FileBytes& bytes) {
        return files_.ReadFileBytes(path, most, bytes);
    });
    const auto suspicion = suspicion_.SuspicionOf(line);
    if (!suspicion) return launches;
    std::wstring tip = L"Sospechoso: " + std::wstring(ReasonOf(*suspicion));
    if (!launches.empty()) tip += L"\r\n" + launches;
    return tip;
}

void frmViewer::Image1_Click() { system_.OpenWebPage(hWnd(), kWebPageAddress); }

template <class Form, class... Arguments>
void frmViewer::ShowOnce(std::unique_ptr<Form>& window, Arguments&... arguments) {
    if (window) {
        ::SetForegroundWindow(window->hWnd());
        ::BringWindowToTop(window->hWnd());
    } else {
        auto made = std::make_unique<Form>(Instance(), arguments...);
        // A window that cannot be made shows nothing: neither window has a message of its own.
        if (!made->Create()) return;
        // It unloads itself; then it is forgotten, to be made afresh by the next click.
        made->NotifyWhenDestroyed([&window] { window.reset(); });
        window = std::move(made);
    }
    window->Show();
}

void frmViewer::Image2_Click() { ShowOnce(Form1_, static_cast<DriveFacts&>(files_)); }

void frmViewer::Image3_Click() { ShowOnce(Form2_); }

void frmViewer::Image4_Click() { system_.EndProgram(); }

void frmViewer::Image5_Click() { ::ShowWindow(hWnd(), SW_MINIMIZE); }

void frmViewer::DoEvents() { ::DoEvents(); }

LRESULT frmViewer::ColourStatic(HDC dc, HWND control) {
    if (control == lblStatus_) {
        // Transparent over the skin: the label's background is painted from the skin itself.
        ::SetTextColor(dc, kStatusColour);
        ::SetBkMode(dc, TRANSPARENT);
        const Rect at = layout::frmViewer::lblStatus;
        ::SetBrushOrgEx(dc, -at.left, -at.top, nullptr);
        return reinterpret_cast<LRESULT>(Picture().Brush());
    }
    if (control == txtProp_) {
        // A read-only edit asks like a static; it keeps the white of a text box.
        ::SetBkColor(dc, ::GetSysColor(COLOR_WINDOW));
        return reinterpret_cast<LRESULT>(::GetSysColorBrush(COLOR_WINDOW));
    }
    return SkinnedWindow::OnMessage(WM_CTLCOLORSTATIC, reinterpret_cast<WPARAM>(dc), reinterpret_cast<LPARAM>(control));
}

LRESULT frmViewer::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_CTLCOLORSTATIC:
        return ColourStatic(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam));
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != lstViewer_.hWnd()) return 0;
        // From the keyboard (the menu key, Shift+F10) the menu opens at the current line.
        lstViewer_ContextMenu(lParam == -1 ? lstViewer_.MenuPoint()
                                           : POINT{GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam)});
        return 0;
    case WM_NOTIFY: {
        const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
        if (header.hwndFrom == lstViewer_.hWnd()) return lstViewer_.OnNotify(header);
        return 0;
    }
    case WM_TIMER:
        if (wParam == kTxtPropTimer) txtPropText_.OnTimer();
        if (wParam == kLookTimer) {
            ::KillTimer(hWnd(), kLookTimer);
            LookAtRoots();
        }
        return 0;
    case kRootChanged:
        Watcher_Notice(static_cast<wchar_t>(wParam));
        return 0;
    case WM_DEVICECHANGE:
        if (wParam == DBT_DEVICEREMOVECOMPLETE) Watcher_Notice(0);
        return TRUE;
    case WM_CLOSE:
        // Closed by the system (Alt+F4, the taskbar): ends like the "X" hot spot.
        Image4_Click();
        return 0;
    default:
        return SkinnedWindow::OnMessage(message, wParam, lParam);
    }
}
