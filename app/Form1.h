#pragma once

#include "Win32Api.h"

#include <array>
#include <string>

#include "Skin.h"
#include "SkinnedWindow.h"

#include "DriveFacts.h"

// The connection monitor: a small window that cannot be moved, whose picture shows whether one of
// the drive letters D: to P: is removable. Timer1 asks as often as the system lets it.
class Form1 final : public SkinnedWindow {
public:
    Form1(HINSTANCE instance, DriveFacts& drives);
    ~Form1() override { Destroy(); }

    // Creates the window and runs Form_Load, which starts Timer1; the window is not shown yet.
    bool Create();

    // Timer1, on the window: a test fires it with WM_TIMER rather than wait for it.
    static constexpr UINT_PTR kTimer1 = 1;

    void Form_Load();
    void Timer1_Timer();
    void Image1_Click();

    // The picture pic shows; the not-connected one until a removable drive is found.
    const Skin& pic() const { return Picture(); }
    // The connected picture.
    const Skin& plugin() const { return plugin_; }
    // The picture pic showed at load, shown again whenever no removable drive is found.
    const Skin* IdlePicture = nullptr;
    // Slot 0 stays empty; slots 1 to 13 hold "D:" to "P:".
    std::array<std::wstring, 14> DriveLetterTable;

private:
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    KnownDrives drives_;
    Skin plugin_;
};
