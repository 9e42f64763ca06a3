#pragma once

#include "listing/Windows_win.h"

#include "listing/Unique.h"

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

// Memory the system allocated for the caller with LocalAlloc (FormatMessageW's buffer).
struct LocalMemoryTraits {
    using Type = HLOCAL;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type memory) noexcept { ::LocalFree(memory); }
};
using UniqueLocal = Unique<LocalMemoryTraits>;

// A process or thread handle, null when absent.
struct KernelHandleTraits {
    using Type = HANDLE;
    static Type Invalid() noexcept { return nullptr; }
    static void Close(Type handle) noexcept { ::CloseHandle(handle); }
};
using UniqueKernelHandle = Unique<KernelHandleTraits>;
