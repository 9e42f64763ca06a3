#include "app/CopyPanel.h"

namespace {

constexpr wchar_t kClassName[] = L"VelquorCopyPanel";
// The skin's light panel, its outline and its dark text (app/res/draw-art).
constexpr COLORREF kPanel = RGB(0xF5, 0xF6, 0xF8);
constexpr COLORREF kEdge = RGB(0x6B, 0x75, 0x81);
constexpr COLORREF kInk = RGB(0x33, 0x40, 0x4F);

bool RegisterPanelClass(HINSTANCE instance, WNDPROC procedure) {
    WNDCLASSEXW windowClass{};
    windowClass.cbSize = sizeof(windowClass);
    if (::GetClassInfoExW(instance, kClassName, &windowClass)) return true;
    windowClass.lpfnWndProc = procedure;
    windowClass.hInstance = instance;
    windowClass.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
    windowClass.lpszClassName = kClassName;
    return ::RegisterClassExW(&windowClass) != 0;
}

}  // namespace

bool CopyPanel::Create(HWND parent, Rect rect, int controlId) {
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    if (!RegisterPanelClass(instance, &CopyPanel::WindowProc)) return false;
    background_.Reset(::CreateSolidBrush(kPanel));
    hwnd_ = ::CreateWindowExW(0, kClassName, L"", WS_CHILD | WS_CLIPCHILDREN, rect.left, rect.top, rect.width,
                              rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                              instance, this);
    return hwnd_ != nullptr;
}

void CopyPanel::BringToFront() {
    ::SetWindowPos(hwnd_, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CopyPanel::Show() { ::ShowWindow(hwnd_, SW_SHOWNA); }

void CopyPanel::Hide() { ::ShowWindow(hwnd_, SW_HIDE); }

bool CopyPanel::Visible() const { return ::IsWindowVisible(hwnd_) != FALSE; }

void CopyPanel::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hwnd_, &paint);
    RECT client{};
    ::GetClientRect(hwnd_, &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(background_.Get()));
    const UniqueGdiObject edge{::CreateSolidBrush(kEdge)};
    ::FrameRect(dc, &client, static_cast<HBRUSH>(edge.Get()));
    ::EndPaint(hwnd_, &paint);
}

LRESULT CALLBACK CopyPanel::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        const auto* create = reinterpret_cast<CREATESTRUCTW*>(lParam);
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(create->lpCreateParams));
    }
    auto* self = reinterpret_cast<CopyPanel*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    switch (message) {
    case WM_PAINT:
        self->Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // Paint covers everything
    case WM_CTLCOLORSTATIC: {
        // lblCopySt: its text straight on the panel, as if the label had no background.
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, kInk);
        ::SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(self->background_.Get());
    }
    case WM_NCDESTROY:
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
        self->hwnd_ = nullptr;
        break;
    default:
        break;
    }
    return ::DefWindowProcW(hwnd, message, wParam, lParam);
}
