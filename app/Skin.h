#pragma once

#include "Win32Api.h"

#include "Owners.h"

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
    win32::UniqueGdiObject bitmap_;
    win32::UniqueGdiObject brush_;
    int width_ = 0;
    int height_ = 0;
};
