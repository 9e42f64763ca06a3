#include "Window.h"

bool Window::CreateWindowOf(HINSTANCE instance, const Class& windowClass, DWORD exStyle, DWORD style,
                            const std::wstring& text, Rect rect, HWND parent, int id) {
    WNDCLASSEXW registered{};
    registered.cbSize = sizeof(registered);
    if (!::GetClassInfoExW(instance, windowClass.name, &registered)) {
        // No CS_DBLCLKS: a double click on a hot spot is two clicks, each running its command.
        registered.lpfnWndProc = &Window::WindowProc;
        registered.hInstance = instance;
        registered.hIcon = windowClass.icon;
        registered.hCursor = ::LoadCursorW(nullptr, IDC_ARROW);
        registered.lpszClassName = windowClass.name;
        if (!::RegisterClassExW(&registered)) return false;
    }
    ::CreateWindowExW(exStyle, windowClass.name, text.c_str(), style, rect.left, rect.top, rect.width,
                      rect.height, parent, reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), instance, this);
    return hwnd_ != nullptr;
}

void Window::Destroy() {
    if (hwnd_) ::DestroyWindow(hwnd_);
}

LRESULT Window::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    return ::DefWindowProcW(hwnd_, message, wParam, lParam);
}

LRESULT CALLBACK Window::WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_NCCREATE) {
        auto* self = static_cast<Window*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        self->hwnd_ = hwnd;
        ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(self));
    }
    auto* self = reinterpret_cast<Window*>(::GetWindowLongPtrW(hwnd, GWLP_USERDATA));
    if (!self) return ::DefWindowProcW(hwnd, message, wParam, lParam);
    if (message != WM_NCDESTROY) return self->OnMessage(message, wParam, lParam);
    ::SetWindowLongPtrW(hwnd, GWLP_USERDATA, 0);
    self->hwnd_ = nullptr;
    const LRESULT result = ::DefWindowProcW(hwnd, message, wParam, lParam);
    self->OnDestroyed();
    return result;
}
