#pragma once

#include "Win32Api.h"

#include "SkinnedWindow.h"

// The help window: its skin holds the help text; it is dragged by the skin like the main window.
class Form2 final : public SkinnedWindow {
public:
    explicit Form2(HINSTANCE instance);
    ~Form2() override { Destroy(); }

    // Creates the window and runs Form_Load; the window is not shown yet.
    bool Create();

    void Form_Load();
    void Image1_Click();
};
