#pragma once

#include "listing/Windows_win.h"

#include "listing/Unique.h"

struct GdiObjectTraits {
    using Type = HGDIOBJ;
    static Type Invalid() { return nullptr; }
    static void Close(Type object) { ::DeleteObject(object); }
};
using UniqueGdiObject = Unique<GdiObjectTraits>;

struct MemoryDcTraits {
    using Type = HDC;
    static Type Invalid() { return nullptr; }
    static void Close(Type dc) { ::DeleteDC(dc); }
};
using UniqueMemoryDc = Unique<MemoryDcTraits>;

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
