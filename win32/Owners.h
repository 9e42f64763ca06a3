#pragma once

#include "Win32Api.h"

#include <objbase.h>

#include "Unique.h"

// One move-only owner for every kind of handle the program holds, each closed the way its kind
// must be closed.
namespace win32 {

// A search handle from FindFirstFileExW.
struct FindHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) noexcept { ::FindClose(handle); }
};
using UniqueFind = Unique<FindHandleTraits>;

// A file or folder opened with CreateFileW.
struct FileHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};
using UniqueFile = Unique<FileHandleTraits>;

// A process, thread or notification handle, null when absent.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};
using UniqueKernelHandle = Unique<KernelHandleTraits>;

// A change notification from FindFirstChangeNotificationW.
struct ChangeNotificationTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return INVALID_HANDLE_VALUE; }
    static void Close(Type handle) noexcept { ::FindCloseChangeNotification(handle); }
};
using UniqueChangeNotification = Unique<ChangeNotificationTraits>;

struct RegistryKeyTraits {
    using Type = HKEY;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type key) noexcept { ::RegCloseKey(key); }
};
using UniqueRegistryKey = Unique<RegistryKeyTraits>;

// Memory the system allocated for the caller with LocalAlloc (FormatMessageW's buffer).
struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type memory) noexcept { ::LocalFree(memory); }
};
using UniqueLocal = Unique<LocalMemoryTraits>;

// Memory the shell allocated for the caller with the COM allocator (item lists, texts).
struct ShellMemoryTraits {
    using Type = void*;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type memory) noexcept { ::CoTaskMemFree(memory); }
};
using UniqueShellMemory = Unique<ShellMemoryTraits>;

// A window this program made and destroys itself (not one a window object owns).
struct WindowTraits {
    using Type = HWND;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type window) noexcept { ::DestroyWindow(window); }
};
using UniqueWindow = Unique<WindowTraits>;

struct MenuTraits {
    using Type = HMENU;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type menu) noexcept { ::DestroyMenu(menu); }
};
using UniqueMenu = Unique<MenuTraits>;

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type object) noexcept { ::DeleteObject(object); }
};
using UniqueGdiObject = Unique<GdiObjectTraits>;

// A DC made with CreateCompatibleDC.
struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type dc) noexcept { ::DeleteDC(dc); }
};
using UniqueMemoryDc = Unique<MemoryDcTraits>;

// A window's DC from GetDC, given back with the window ReleaseDC needs (null: the screen).
class WindowDc {
public:
    explicit WindowDc(HWND window) : window_(window), dc_(::GetDC(window)) {}
    WindowDc(const WindowDc&) = delete;
    WindowDc& operator=(const WindowDc&) = delete;
    ~WindowDc() {
        if (dc_) ::ReleaseDC(window_, dc_);
    }
    HDC Get() const { return dc_; }

private:
    HWND window_;
    HDC dc_;
};

// Selects an object into a DC for as long as it lives, then puts the previous one back.
class SelectedObject {
public:
    SelectedObject(HDC dc, HGDIOBJ object) : dc_(dc), previous_(::SelectObject(dc, object)) {}
    SelectedObject(const SelectedObject&) = delete;
    SelectedObject& operator=(const SelectedObject&) = delete;
    ~SelectedObject() { ::SelectObject(dc_, previous_); }

private:
    HDC dc_;
    HGDIOBJ previous_;
};

}  // namespace win32
