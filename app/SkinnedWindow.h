#pragma once

#include "listing/Windows_win.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "app/Layout.h"
#include "app/Skin.h"

// A borderless top-level window covered by its skin, with hot spots (rectangles of the skin that
// react to clicks) and dragging by any bare part of the skin. Owns its HWND.
class SkinnedWindow {
public:
    // Mouse buttons as the mouse handlers number them: one bit per button.
    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;
    static constexpr int kMiddleButton = 4;
    static constexpr int kSideButton = 8;  // either of the extra buttons

    SkinnedWindow(const SkinnedWindow&) = delete;
    SkinnedWindow& operator=(const SkinnedWindow&) = delete;
    virtual ~SkinnedWindow();

    HWND hWnd() const { return hwnd_; }

    // A button went down on the bare skin at client pixel (x, y): anchors a drag.
    void Form_MouseDown(int button, int x, int y);
    // The pointer moved over the bare skin with buttons held: drags the window by its offset
    // from the anchor, horizontally first, then vertically.
    void Form_MouseMove(int buttons, int x, int y);

    int DragAnchorX = 0;
    int DragAnchorY = 0;

protected:
    SkinnedWindow(HINSTANCE instance, int skinResource);

    // Creates the window with its client area of size, centred on the screen, not yet shown.
    bool CreateSkinnedWindow(const wchar_t* className, const std::wstring& caption, Rect size);
    void AddHotSpot(Rect rect, std::function<void()> click);
    // Destroys the window now; a derived window calls it first thing in its destructor, so that
    // no message reaches it half torn down.
    void Destroy();
    const Skin& WindowSkin() const { return skin_; }

    // The window's own messages; anything not handled goes to DefaultMessage.
    virtual LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT DefaultMessage(UINT message, WPARAM wParam, LPARAM lParam);

private:
    static LRESULT CALLBACK WindowProc(HWND hwnd, UINT message, WPARAM wParam, LPARAM lParam);
    std::optional<size_t> HotSpotAt(int x, int y) const;
    void OnButtonDown(int button, int x, int y);
    void OnButtonUp(int x, int y, WPARAM buttonsStillHeld);
    void OnMouseMove(WPARAM buttons, int x, int y);
    void Paint();

    struct HotSpot {
        Rect rect;
        std::function<void()> click;
    };

    HINSTANCE instance_;
    Skin skin_;
    HWND hwnd_ = nullptr;
    std::vector<HotSpot> hotSpots_;
    std::optional<size_t> pressedHotSpot_;
};
