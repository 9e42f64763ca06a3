#include "SkinnedWindow.h"

#include <windowsx.h>

#include <utility>

#include "Resources.h"
#include "Module1.h"

namespace {

constexpr int kCheck1Id = 199;

int HeldButtons(WPARAM keys) {
    int buttons = 0;
    if (keys & MK_LBUTTON) buttons |= SkinnedWindow::kLeftButton;
    if (keys & MK_RBUTTON) buttons |= SkinnedWindow::kRightButton;
    if (keys & MK_MBUTTON) buttons |= SkinnedWindow::kMiddleButton;
    // The side buttons count too: a drag needs the left button alone.
    if (keys & (MK_XBUTTON1 | MK_XBUTTON2)) buttons |= SkinnedWindow::kSideButton;
    return buttons;
}

bool IsButtonDown(UINT message) {
    return message == WM_LBUTTONDOWN || message == WM_RBUTTONDOWN || message == WM_MBUTTONDOWN ||
           message == WM_XBUTTONDOWN;
}

bool IsButtonUp(UINT message) {
    return message == WM_LBUTTONUP || message == WM_RBUTTONUP || message == WM_MBUTTONUP ||
           message == WM_XBUTTONUP;
}

// The button a press or a release is of.
int ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN:
    case WM_LBUTTONUP: return SkinnedWindow::kLeftButton;
    case WM_RBUTTONDOWN:
    case WM_RBUTTONUP: return SkinnedWindow::kRightButton;
    case WM_MBUTTONDOWN:
    case WM_MBUTTONUP: return SkinnedWindow::kMiddleButton;
    default: return SkinnedWindow::kSideButton;
    }
}

// Leaves on the system menu (Alt+Space, the taskbar's) only what the window allows: none of them
// is sized or maximised; one that is not dragged is not moved, and only one that may be
// minimised is.
void TrimSystemMenu(HWND window, bool movable, bool minimisable) {
    HMENU menu = ::GetSystemMenu(window, FALSE);
    ::DeleteMenu(menu, SC_SIZE, MF_BYCOMMAND);
    ::DeleteMenu(menu, SC_MAXIMIZE, MF_BYCOMMAND);
    if (!movable) ::DeleteMenu(menu, SC_MOVE, MF_BYCOMMAND);
    if (!minimisable) ::DeleteMenu(menu, SC_MINIMIZE, MF_BYCOMMAND);
}

}  // namespace

SkinnedWindow::SkinnedWindow(HINSTANCE instance, int skinResource, Dragging dragging, Minimising minimising)
    : instance_(instance), skin_(instance, skinResource), dragging_(dragging), minimising_(minimising) {}

void SkinnedWindow::Unload() { ::PostMessageW(hWnd(), WM_CLOSE, 0, 0); }

void SkinnedWindow::Show(int showCommand) {
    ::ShowWindow(hWnd(), showCommand);
    ::UpdateWindow(hWnd());
}

bool SkinnedWindow::CreateSkinnedWindow(const wchar_t* className, const std::wstring& caption,
                                        Rect size) {
    const Rect centred{(::GetSystemMetrics(SM_CXSCREEN) - size.width) / 2,
                       (::GetSystemMetrics(SM_CYSCREEN) - size.height) / 2, size.width, size.height};
    // No caption or border, so the client area is the whole window; the system menu, and the
    // minimise box where the window may be minimised, let the taskbar minimise and restore it.
    const bool minimisable = minimising_ == Minimising::Allowed;
    const DWORD style = WS_POPUP | WS_CLIPCHILDREN | WS_SYSMENU | (minimisable ? WS_MINIMIZEBOX : 0);
    if (!CreateWindowOf(instance_, {className, ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_VELQUOR))},
                        WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, style, caption, centred)) {
        return false;
    }
    TrimSystemMenu(hWnd(), dragging_ == Dragging::ByTheSkin, minimisable);
    return true;
}

void SkinnedWindow::AddHotSpot(Rect rect, std::function<void()> click) {
    hotSpots_.push_back({rect, std::move(click)});
}

void SkinnedWindow::CreateCheck1(Rect rect) {
    Check1_ = ::CreateWindowExW(0, L"BUTTON", L"", WS_CHILD | WS_VISIBLE | WS_TABSTOP | BS_3STATE,
                                rect.left, rect.top, rect.width, rect.height, hWnd(),
                                reinterpret_cast<HMENU>(static_cast<INT_PTR>(kCheck1Id)), instance_,
                                nullptr);
    ::SendMessageW(Check1_, BM_SETCHECK, BST_CHECKED, 0);
}

void SkinnedWindow::Check1_Click() {
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

void SkinnedWindow::OnCheck1Clicked() {
    // A click ticks or unticks the box; only the program ever greys it.
    const bool ticked = ::SendMessageW(Check1_, BM_GETCHECK, 0, 0) == BST_CHECKED;
    ::SendMessageW(Check1_, BM_SETCHECK, ticked ? BST_UNCHECKED : BST_CHECKED, 0);
    Check1_Click();
}

void SkinnedWindow::SetPicture(const Skin& picture) {
    if (picture_ == &picture) return;
    picture_ = &picture;
    ::InvalidateRect(hWnd(), nullptr, FALSE);
}

void SkinnedWindow::Form_MouseDown(int button, int x, int y) {
    if (button != kLeftButton || ::IsZoomed(hWnd())) return;
    DragAnchorX = x;
    DragAnchorY = y;
}

void SkinnedWindow::Form_MouseMove(int buttons, int x, int y) {
    if (buttons != kLeftButton || ::IsZoomed(hWnd())) return;
    RECT window{};
    ::GetWindowRect(hWnd(), &window);
    ::SetWindowPos(hWnd(), nullptr, window.left + (x - DragAnchorX), window.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::GetWindowRect(hWnd(), &window);
    ::SetWindowPos(hWnd(), nullptr, window.left, window.top + (y - DragAnchorY), 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

std::optional<size_t> SkinnedWindow::HotSpotAt(int x, int y) const {
    for (size_t i = 0; i < hotSpots_.size(); ++i) {
        if (hotSpots_[i].rect.Contains(x, y)) return i;
    }
    return std::nullopt;
}

void SkinnedWindow::OnButtonDown(int button, int x, int y) {
    // Like any control, the window keeps the mouse until the buttons are let go.
    if (::GetCapture() != hWnd()) ::SetCapture(hWnd());
    if (const auto spot = HotSpotAt(x, y)) {
        if (button == kLeftButton) pressedHotSpot_ = spot;
        return;
    }
    if (dragging_ == Dragging::Never) return;
    pressedOnSkin_ = true;
    Form_MouseDown(button, x, y);
}

void SkinnedWindow::OnButtonUp(int button, int x, int y, WPARAM buttonsStillHeld) {
    // A click is a press and a release of the left button on the same hot spot. Taken before the
    // capture goes, which forgets the press.
    const auto pressed = button == kLeftButton ? std::exchange(pressedHotSpot_, std::nullopt) : std::nullopt;
    if (HeldButtons(buttonsStillHeld) == 0) {
        pressedOnSkin_ = false;
        ::ReleaseCapture();
    }
    if (pressed && pressed == HotSpotAt(x, y)) hotSpots_[*pressed].click();
}

void SkinnedWindow::OnMouseMove(WPARAM buttons, int x, int y) {
    // Only a press on the bare skin drags: one on a hot spot belongs to it, and one on a control
    // (the button then held as the pointer comes over the skin) to that control.
    if (pressedOnSkin_) Form_MouseMove(HeldButtons(buttons), x, y);
}

void SkinnedWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hWnd(), &paint);
    picture_->Paint(dc);
    ::EndPaint(hWnd(), &paint);
}

LRESULT SkinnedWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (IsButtonDown(message)) {
        OnButtonDown(ButtonOf(message), x, y);
        return message == WM_XBUTTONDOWN ? TRUE : 0;
    }
    if (IsButtonUp(message)) {
        OnButtonUp(ButtonOf(message), x, y, GET_KEYSTATE_WPARAM(wParam));
        return message == WM_XBUTTONUP ? TRUE : 0;
    }
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, x, y);
        return 0;
    case WM_CAPTURECHANGED:
        pressedHotSpot_.reset();
        pressedOnSkin_ = false;
        return 0;
    case WM_COMMAND:
        if (LOWORD(wParam) == kCheck1Id && HIWORD(wParam) == BN_CLICKED) OnCheck1Clicked();
        return 0;
    case WM_SYSCOMMAND:
        if (!Allows(wParam & 0xFFF0)) return 0;
        return Window::OnMessage(message, wParam, lParam);
    case WM_ERASEBKGND:
        return 1;  // the skin covers everything
    case WM_PAINT:
        Paint();
        return 0;
    default:
        return Window::OnMessage(message, wParam, lParam);
    }
}

// What the system menu no longer offers stays refused when asked another way (Alt+F8, say).
bool SkinnedWindow::Allows(WPARAM command) const {
    switch (command) {
    case SC_SIZE:
    case SC_MAXIMIZE: return false;
    case SC_MOVE: return dragging_ == Dragging::ByTheSkin;
    case SC_MINIMIZE: return minimising_ == Minimising::Allowed;
    default: return true;
    }
}

void SkinnedWindow::OnDestroyed() {
    Check1_ = nullptr;
    // Last: the owner may delete the window object here.
    if (const auto destroyed = std::move(destroyed_)) destroyed();
}
