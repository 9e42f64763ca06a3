#pragma once

#include "Win32Api.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "frmViewer.h"
#include "RecordingSystemCalls.h"
#include "TestDrives.h"
#include "WindowFixture.h"
#include "common/EntryLines.h"
#include "common/ScriptedDialogs.h"

// Where the main window's parts lie, in twips as the window was designed (15 twips to a pixel).
inline Rect FromTwips(int left, int top, int width, int height) {
    return {left / 15, top / 15, width / 15, height / 15};
}
namespace designed {
inline const Rect lstViewer = FromTwips(120, 120, 4665, 3180);
inline const Rect txtProp = FromTwips(4920, 720, 3855, 1410);
inline const Rect lblStatus = FromTwips(4800, 120, 2775, 495);
inline const Rect cmdSelAll = FromTwips(2160, 4200, 1695, 135);
inline const Rect cmdInvAll = FromTwips(3960, 4200, 1695, 135);
inline const Rect cmdClearAll = FromTwips(5760, 4200, 1815, 135);
inline const Rect cmdCopy = FromTwips(3960, 4440, 1695, 255);
inline const Rect cmdDeleteSel = FromTwips(5880, 4440, 1695, 255);
inline const Rect mvSFLS = FromTwips(1920, 4800, 2175, 255);
inline const Rect mvSFLD = FromTwips(1920, 5160, 2175, 255);
inline const Rect mvSALL = FromTwips(1920, 5640, 2175, 255);
inline const Rect Image2 = FromTwips(5280, 5160, 1095, 255);
inline const Rect Image1 = FromTwips(120, 6240, 5055, 495);
inline const Rect Image3 = FromTwips(7920, 120, 255, 255);
inline const Rect Image5 = FromTwips(8280, 120, 255, 255);
inline const Rect Image4 = FromTwips(8640, 120, 375, 255);
inline const Rect lblCopySt = FromTwips(0, 2280, 6015, 375);  // inside picCopy
inline const Rect Check1 = FromTwips(8880, 7560, 495, 255);
}  // namespace designed

// The main window created in-process, with the dialogs answered from a script and the world
// outside it recorded; the monitor and the help window open from it as the user opens them.
class WithTheMainWindow : public WindowFixture<frmViewer> {
protected:
    void SetUp() override { Open(dialogs_, dialogs_, calls_); }

    // The suite's drives, emptied: R: and S: removable, T: removable but not ready.
    static void UseTheTestDrives() {
        ASSERT_TRUE(TestDrives::Mapped()) << "run through cmake/wine-run";
        for (wchar_t drive : {L'R', L'S'}) ASSERT_TRUE(TestDrives::Empty(drive).empty());
    }

    static POINT CentreOf(Rect rect) { return {rect.left + rect.width / 2, rect.top + rect.height / 2}; }
    // A click at the middle of a part of the window.
    void Click(Rect rect) {
        const POINT centre = CentreOf(rect);
        ClickAt(Window(), centre.x, centre.y);
    }
    void ClickVerEstado() { Click(designed::Image2); }
    void ClickQuestionMark() { Click(designed::Image3); }
    // Posts a click, to arrive at the next yield of a walk.
    void PostClick(Rect rect) {
        const POINT at = CentreOf(rect);
        ::PostMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(at.x, at.y));
        ::PostMessageW(Window(), WM_LBUTTONUP, 0, PointParam(at.x, at.y));
    }
    // What the timers would show next: the list's pending batch and the properties box's last text.
    void Settle() {
        for (int tick = 0; tick < 2; ++tick) {
            ::SendMessageW(List().hWnd(), WM_TIMER, ListViewEntryList::kDrawTimer, 0);
        }
        ::SendMessageW(Window(), WM_TIMER, frmViewer::kTxtPropTimer, 0);
        PumpMessages();
    }

    ListViewEntryList& List() { return form_->lstViewer(); }
    std::vector<std::wstring> ListedLines() { return LinesOf(List()); }
    std::vector<bool> Marks() { return MarksOf(List()); }
    // Marks the lines that hold these paths.
    void Mark(const std::vector<std::wstring>& paths) {
        for (int line = 0; line < List().ListCount(); ++line) {
            for (const auto& path : paths) {
                if (List().List(line) == path) List().SetSelected(line, true);
            }
        }
    }
    // A screen point on line index: on its text, or (LVIR_ICON) on its check box.
    POINT OnLine(int index, int part = LVIR_LABEL) {
        RECT rect{};
        rect.left = part;
        ::SendMessageW(List().hWnd(), LVM_GETITEMRECT, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&rect));
        POINT point{(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
        if (part == LVIR_ICON) point.x = rect.left - 8;  // the check box, left of the (empty) icon
        ::ClientToScreen(List().hWnd(), &point);
        return point;
    }
    std::wstring Status() const { return TextOf(form_->lblStatus()); }

    ScriptedDialogs dialogs_;
    RecordingSystemCalls calls_;
};
