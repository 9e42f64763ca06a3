#pragma once

#include "listing/Windows_win.h"

#include "app/GdiHandles.h"
#include "app/Layout.h"
#include "listing/Viewer.h"

// picCopy, the copy's progress panel: a child window in the colours of the skin's light panel,
// hidden until a copy shows it. Its label lblCopySt is drawn transparent over it.
class CopyPanel final : public ProgressPanel {
public:
    bool Create(HWND parent, Rect rect, int controlId);
    HWND hWnd() const { return hwnd_; }

    void BringToFront() override;
    void Show() override;
    void Hide() override;
    bool Visible() const override;

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();

    HWND hwnd_ = nullptr;
    UniqueGdiObject background_;
};
