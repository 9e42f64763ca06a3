#include "Subclass.h"

namespace win32 {

bool Subclass::Install(HWND window, void* owner) {
    if (!::IsWindow(window)) return false;
    if (IsInstalled(window)) return true;
    const auto replaced = reinterpret_cast<WNDPROC>(
        ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(procedure_)));
    if (!replaced) return false;
    replaced_[window] = {replaced, owner};
    return true;
}

bool Subclass::Remove(HWND window) {
    const auto found = replaced_.find(window);
    if (found == replaced_.end()) return true;
    if (::GetWindowLongPtrW(window, GWLP_WNDPROC) != reinterpret_cast<LONG_PTR>(procedure_)) return false;
    ::SetWindowLongPtrW(window, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(found->second.procedure));
    replaced_.erase(found);
    return true;
}

void* Subclass::OwnerOf(HWND window) const {
    const auto found = replaced_.find(window);
    return found == replaced_.end() ? nullptr : found->second.owner;
}

LRESULT Subclass::CallReplaced(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    const auto found = replaced_.find(window);
    if (found == replaced_.end()) return ::DefWindowProcW(window, message, wParam, lParam);
    const WNDPROC replaced = found->second.procedure;
    if (message == WM_NCDESTROY) replaced_.erase(found);
    return ::CallWindowProcW(replaced, window, message, wParam, lParam);
}

}  // namespace win32
