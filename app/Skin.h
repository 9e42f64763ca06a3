#pragma once

#include "listing/Windows_win.h"

#include "app/GdiHandles.h"

// A window's skin: a JPEG resource decoded once into a bitmap, drawn at the window's top-left.
class Skin {
public:
    // Decodes the RCDATA JPEG resourceId of module; an empty skin when that fails.
    Skin(HINSTANCE module, int resourceId);

    explicit operator bool() const { return static_cast<bool>(bitmap_); }
    void Paint(HDC dc) const;
    // A brush that paints the skin, for controls drawn "transparent" over it; aligned to a control
    // at origin by SetBrushOrgEx(dc, -origin.x, -origin.y).
    HBRUSH Brush() const { return static_cast<HBRUSH>(brush_.Get()); }

private:
    UniqueGdiObject bitmap_;
    UniqueGdiObject brush_;
    int width_ = 0;
    int height_ = 0;
};
