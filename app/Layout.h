#pragma once

// Where everything lies on the windows. Positions are given in twips, as the windows were
// designed, and kept in pixels at 15 twips to a pixel.
struct Rect {
    int left;
    int top;
    int width;
    int height;

    constexpr bool Contains(int x, int y) const {
        return x >= left && x < left + width && y >= top && y < top + height;
    }
};

// 15 twips to a pixel is 96 dots per inch. The skins are pictures of a fixed size with the buttons
// drawn on them, so the layout stays in these pixels: the manifest does not declare the program
// DPI-aware, and on a screen of more dots per inch the system scales the whole window.
inline constexpr int kTwipsPerPixel = 15;

constexpr Rect Twips(int left, int top, int width, int height) {
    return {left / kTwipsPerPixel, top / kTwipsPerPixel, width / kTwipsPerPixel,
            height / kTwipsPerPixel};
}

namespace layout {

// The main window; its skin is one pixel larger than the client area each way.
namespace frmViewer {
inline constexpr Rect Client = Twips(0, 0, 9030, 6765);
inline constexpr Rect lstViewer = Twips(120, 120, 4665, 3180);
inline constexpr Rect txtProp = Twips(4920, 720, 3855, 1410);
inline constexpr Rect lblStatus = Twips(4800, 120, 2775, 495);
inline constexpr Rect cmdSelAll = Twips(2160, 4200, 1695, 135);
inline constexpr Rect cmdInvAll = Twips(3960, 4200, 1695, 135);
inline constexpr Rect cmdClearAll = Twips(5760, 4200, 1815, 135);
inline constexpr Rect cmdCopy = Twips(3960, 4440, 1695, 255);
inline constexpr Rect cmdDeleteSel = Twips(5880, 4440, 1695, 255);
inline constexpr Rect mvSFLS = Twips(1920, 4800, 2175, 255);
inline constexpr Rect mvSFLD = Twips(1920, 5160, 2175, 255);
inline constexpr Rect mvSALL = Twips(1920, 5640, 2175, 255);
inline constexpr Rect Image2 = Twips(5280, 5160, 1095, 255);
inline constexpr Rect Image1 = Twips(120, 6240, 5055, 495);
inline constexpr Rect Image3 = Twips(7920, 120, 255, 255);
inline constexpr Rect Image5 = Twips(8280, 120, 255, 255);
inline constexpr Rect Image4 = Twips(8640, 120, 375, 255);
// The copy's progress panel, centred on the window, and its label.
inline constexpr Rect picCopy = Twips(1440, 1035, 6135, 4695);
inline constexpr Rect lblCopySt = Twips(0, 2280, 6015, 375);
// Below the visible client area, reached only with the keyboard.
inline constexpr Rect Check1 = Twips(8880, 7560, 495, 255);
}  // namespace frmViewer

// The connection monitor. Its picture box pic, one pixel larger than the client area each way, is
// the window's own picture; the off-screen picture box plugin only holds the connected picture, so
// it is kept as that picture, not as a control.
namespace Form1 {
inline constexpr Rect Client = Twips(0, 0, 3240, 3255);
inline constexpr Rect Image1 = Twips(2880, 0, 375, 375);
// Below the visible client area, reached only with the keyboard.
inline constexpr Rect Check1 = Twips(2280, 6000, 495, 255);
}  // namespace Form1

// The help window.
namespace Form2 {
inline constexpr Rect Client = Twips(0, 0, 7875, 5565);
inline constexpr Rect Image1 = Twips(7440, 120, 375, 255);
// Beyond the visible client area: the only control that takes the keyboard.
inline constexpr Rect Check1 = Twips(8400, 6480, 495, 255);
}  // namespace Form2

}  // namespace layout
