#pragma once

#include "Win32Api.h"

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "Layout.h"
#include "Skin.h"
#include "Window.h"

// A borderless top-level window covered by a picture (its skin), with hot spots (rectangles of
// the picture that react to clicks), optionally dragged by any bare part of the picture, and an
// off-screen check box Check1 that switches the AutoPlay hook on this window. Owns its HWND.
class SkinnedWindow : public Window {
public:
    // Mouse buttons as the mouse handlers number them: one bit per button.
    static constexpr int kLeftButton = 1;
    static constexpr int kRightButton = 2;
    static constexpr int kMiddleButton = 4;
    static constexpr int kSideButton = 8;  // either of the extra buttons

    enum class Dragging { ByTheSkin, Never };
    enum class Minimising { Allowed, Never };

    HWND Check1() const { return Check1_; }
    // Shows the window and paints it at once.
    void Show(int showCommand = SW_SHOWNORMAL);
    // Called once the window is gone, as its last act: the owner may forget (delete) it there.
    void NotifyWhenDestroyed(std::function<void()> destroyed) { destroyed_ = std::move(destroyed); }

    // A button went down on the bare skin at client pixel (x, y): anchors a drag.
    void Form_MouseDown(int button, int x, int y);
    // The pointer moved over the bare skin with buttons held: drags the window by its offset
    // from the anchor, horizontally first, then vertically.
    void Form_MouseMove(int buttons, int x, int y);
    // Ticked: hooks this window against AutoPlay; unticked: unhooks it; greyed: nothing.
    void Check1_Click();

    int DragAnchorX = 0;
    int DragAnchorY = 0;

protected:
    SkinnedWindow(HINSTANCE instance, int skinResource, Dragging dragging, Minimising minimising);

    HINSTANCE Instance() const { return instance_; }

    // Creates the window with its client area of size, centred on the screen, not yet shown.
    bool CreateSkinnedWindow(const wchar_t* className, const std::wstring& caption, Rect size);
    void AddHotSpot(Rect rect, std::function<void()> click);
    // Creates Check1, ticked: every window is hooked when it loads, and the box shows the truth.
    void CreateCheck1(Rect rect);
    // The picture the window shows; it is repainted only when it really changes.
    void SetPicture(const Skin& picture);
    const Skin& Picture() const { return *picture_; }
    // Closes the window once the message being handled is done (so that no handler of a window
    // that is gone runs on), as the user closing it would.
    void Unload();

    // The skin's painting, the hot spots, dragging and Check1; a derived window passes on here
    // what it does not answer itself.
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;
    void OnDestroyed() override;

private:
    std::optional<size_t> HotSpotAt(int x, int y) const;
    void OnButtonDown(int button, int x, int y);
    void OnButtonUp(int button, int x, int y, WPARAM buttonsStillHeld);
    bool Allows(WPARAM systemCommand) const;
    void OnMouseMove(WPARAM buttons, int x, int y);
    void OnCheck1Clicked();
    void Paint();

    struct HotSpot {
        Rect rect;
        std::function<void()> click;
    };

    HINSTANCE instance_;
    Skin skin_;
    const Skin* picture_ = &skin_;
    Dragging dragging_;
    Minimising minimising_;
    HWND Check1_ = nullptr;
    std::vector<HotSpot> hotSpots_;
    std::optional<size_t> pressedHotSpot_;
    bool pressedOnSkin_ = false;
    std::function<void()> destroyed_;
};
