#pragma once

#include "Win32Api.h"

#include <string>

#include "Layout.h"

// A window of a class of our own, bound to this object: its procedure finds the object through
// the window's user data, set at WM_NCCREATE and cleared at WM_NCDESTROY. The object owns the
// window and destroys it when it goes.
class Window {
public:
    Window(const Window&) = delete;
    Window& operator=(const Window&) = delete;
    virtual ~Window() { Destroy(); }

    HWND hWnd() const { return hwnd_; }

protected:
    // The class a window is made of, registered with the first window made of it.
    struct Class {
        const wchar_t* name;
        HICON icon = nullptr;
    };

    Window() = default;

    // Makes the window; false when the system would not.
    bool CreateWindowOf(HINSTANCE instance, const Class& windowClass, DWORD exStyle, DWORD style,
                        const std::wstring& text, Rect rect, HWND parent = nullptr, int id = 0);
    // Destroys the window now. A derived window calls it first thing in its destructor, so that
    // no message reaches it half torn down.
    void Destroy();

    // The window's messages; what a window does not answer goes to DefWindowProcW.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    // The window is gone, its handle with it: the last thing that happens to it. The owner of
    // the object may delete it here.
    virtual void OnDestroyed() {}

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);

    HWND hwnd_ = nullptr;
};
