#include "app/SkinnedWindow.h"

#include <windowsx.h>

#include <utility>

#include "app/Resources.h"

namespace {

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

int ButtonOf(UINT message) {
    switch (message) {
    case WM_LBUTTONDOWN: return SkinnedWindow::kLeftButton;
    case WM_RBUTTONDOWN: return SkinnedWindow::kRightButton;
    case WM_MBUTTONDOWN: return SkinnedWindow::kMiddleButton;
    default: return SkinnedWindow::kSideButton;
    }
}

}  // namespace

SkinnedWindow::SkinnedWindow(HINSTANCE instance, int skinResource)
    : instance_(instance), skin_(instance, skinResource) {}

SkinnedWindow::~SkinnedWindow() { Destroy(); }

void SkinnedWindow::Destroy() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

bool SkinnedWindow::CreateSkinnedWindow(const wchar_t* className, const std::wstring& caption,
                                        Rect size) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (!::GetClassInfoExW(instance_, className, &windowClass)) {
        windowClass.style = CS_DBLCLKS;
        windowClass.lpfnWndProc = &SkinnedWindow::WindowProc;
        windowClass.hInstance = instance_;
        windowClass.hIcon = ::LoadIconW(instance_, MAKEINTRESOURCEW(IDI_VELQUOR));
        windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        windowClass.lpszClassName = className;
        if (!::RegisterClassExW(&windowClass)) return false;
    }
    const int left = (::GetSystemMetrics(SM_CXSCREEN) - size.width) / 2;
    const int top = (::GetSystemMetrics(SM_CYSCREEN) - size.height) / 2;
    // No caption or border, so the client area is the whole window; the minimise box and the
    // system menu let the taskbar minimise and restore it.
    ::CreateWindowExW(WS_EX_APPWINDOW | WS_EX_CONTROLPARENT, className, caption.c_str(),
                      WS_POPUP | WS_CLIPCHILDREN | WS_MINIMIZEBOX | WS_SYSMENU, left, top,
                      size.width, size.height, nullptr, nullptr, instance_, this);
    return hwnd_ != nullptr;
}

void SkinnedWindow::AddHotSpot(Rect rect, std::function<void()> click) {
    hotSpots_.push_back({rect, std::move(click)});
}

void SkinnedWindow::Form_MouseDown(int button, int x, int y) {
    if (button != kLeftButton || ::IsZoomed(hwnd_)) return;
    DragAnchorX = x;
    DragAnchorY = y;
}

void SkinnedWindow::Form_MouseMove(int buttons, int x, int y) {
    if (buttons != kLeftButton || ::IsZoomed(hwnd_)) return;
    RECT window{};
    ::GetWindowRect(hwnd_, &window);
    ::SetWindowPos(hwnd_, nullptr, window.left + (x - DragAnchorX), window.top, 0, 0,
                   SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    ::GetWindowRect(hwnd_, &window);
    ::SetWindowPos(hwnd_, nullptr, window.left, window.top + (y - DragAnchorY), 0, 0,
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
    if (::GetCapture() != hwnd_) ::SetCapture(hwnd_);
    if (const auto spot = HotSpotAt(x, y)) {
        if (button == kLeftButton) pressedHotSpot_ = spot;
        return;
    }
    Form_MouseDown(button, x, y);
}

void SkinnedWindow::OnButtonUp(int x, int y, WPARAM buttonsStillHeld) {
    const auto pressed = std::exchange(pressedHotSpot_, std::nullopt);
    if (HeldButtons(buttonsStillHeld) == 0) ::ReleaseCapture();
    // A click is a press and a release on the same hot spot.
    if (pressed && pressed == HotSpotAt(x, y)) hotSpots_[*pressed].click();
}

void SkinnedWindow::OnMouseMove(WPARAM buttons, int x, int y) {
    // A press that began on a hot spot belongs to it; a bare move over a hot spot is its own too.
    if (pressedHotSpot_) return;
    if (::GetCapture() != hwnd_ && HotSpotAt(x, y)) return;
    Form_MouseMove(HeldButtons(buttons), x, y);
}

void SkinnedWindow::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    skin_.Paint(dc);
    ::EndPaint(hwnd_, &paint);
}

LRESULT SkinnedWindow::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return DefaultMessage(message, wParam, lParam);
}

LRESULT SkinnedWindow::DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const int x = GET_X_LPARAM(lParam);
    const int y = GET_Y_LPARAM(lParam);
    if (IsButtonDown(message)) {
        OnButtonDown(ButtonOf(message), x, y);
        return message == WM_XBUTTONDOWN ? TRUE : 0;
    }
    if (IsButtonUp(message)) {
        OnButtonUp(x, y, GET_KEYSTATE_WPARAM(wParam));
        return message == WM_XBUTTONUP ? TRUE : 0;
    }
    switch (message) {
    case WM_MOUSEMOVE:
        OnMouseMove(wParam, x, y);
        return 0;
    case WM_CAPTURECHANGED:
        pressedHotSpot_.reset();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // the skin covers everything
    case WM_PAINT:
        Paint();
        return 0;
    default:
        return ::DefWindowProcW(hwnd_, message, wParam, lParam);
    }
}

LRESULT CALLBACK SkinnedWindow::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<SkinnedWindow*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<SkinnedWindow*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message == WM_NCDESTROY) {
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        return ::DefWindowProcW(hwnd, message, wParam, lParam);
    }
    return self->OnMessage(message, wParam, lParam);
}
