#include "CopyPanel.h"

namespace {

constexpr wchar_t kClassName[] = L"VelquorCopyPanel";
// The skin's light panel, its outline and its dark text (app/res/draw-art).
constexpr COLORREF kPanel = RGB(0xF5, 0xF6, 0xF8);
constexpr COLORREF kEdge = RGB(0x6B, 0x75, 0x81);
constexpr COLORREF kInk = RGB(0x33, 0x40, 0x4F);

}  // namespace

bool CopyPanel::Create(HWND parent, Rect rect, int controlId) {
    const auto instance = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrW(parent, GWLP_HINSTANCE));
    background_.Reset(::CreateSolidBrush(kPanel));
    return CreateWindowOf(instance, {kClassName}, 0, WS_CHILD | WS_CLIPCHILDREN, L"", rect, parent, controlId);
}

void CopyPanel::BringToFront() {
    ::SetWindowPos(hWnd(), HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

void CopyPanel::Show() { ::ShowWindow(hWnd(), SW_SHOWNA); }

void CopyPanel::Hide() { ::ShowWindow(hWnd(), SW_HIDE); }

bool CopyPanel::Visible() const { return ::IsWindowVisible(hWnd()) != FALSE; }

void CopyPanel::Paint() {
    PAINTSTRUCT paint;
    HDC dc = ::BeginPaint(hWnd(), &paint);
    RECT client{};
    ::GetClientRect(hWnd(), &client);
    ::FillRect(dc, &client, static_cast<HBRUSH>(background_.Get()));
    const win32::UniqueGdiObject edge{::CreateSolidBrush(kEdge)};
    ::FrameRect(dc, &client, static_cast<HBRUSH>(edge.Get()));
    ::EndPaint(hWnd(), &paint);
}

LRESULT CopyPanel::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;  // Paint covers everything
    case WM_CTLCOLORSTATIC: {
        // lblCopySt: its text straight on the panel, as if the label had no background.
        const auto dc = reinterpret_cast<HDC>(wParam);
        ::SetTextColor(dc, kInk);
        ::SetBkMode(dc, TRANSPARENT);
        return reinterpret_cast<LRESULT>(background_.Get());
    }
    default:
        return Window::OnMessage(message, wParam, lParam);
    }
}
