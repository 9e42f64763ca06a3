#pragma once

#include "Win32Api.h"

#include "Layout.h"
#include "Owners.h"
#include "Viewer.h"
#include "Window.h"

// picCopy, the copy's progress panel: a child window in the colours of the skin's light panel,
// hidden until a copy shows it. Its label lblCopySt is drawn transparent over it.
class CopyPanel final : public Window, public ProgressPanel {
public:
    CopyPanel() = default;
    ~CopyPanel() override { Destroy(); }

    bool Create(HWND parent, Rect rect, int controlId);

    void BringToFront() override;
    void Show() override;
    void Hide() override;
    bool Visible() const override;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void Paint();

    win32::UniqueGdiObject background_;
};
