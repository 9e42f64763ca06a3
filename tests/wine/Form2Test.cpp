#include "Form2.h"

#include <gtest/gtest.h>

#include "Resources.h"
#include "support/WindowFixture.h"
#include "support/WindowTestSupport.h"

namespace {

// The help window's close cross: 7440, 120, 375, 255 twips; its middle in pixels.
constexpr POINT kCross{(7440 + 375 / 2) / 15, (120 + 255 / 2) / 15};
// A bare spot of the skin, in the help text.
constexpr POINT kBare{100, 200};

// The help window created in-process.
class Form2Test : public WindowFixture<Form2> {
protected:
    void SetUp() override { Open(); }
};

TEST_F(Form2Test, IsABorderlessWindowOfItsSkinsSizeCentredWithItsCaptionAndTheProgramsIcon) {
    ExpectBorderlessAndCentred(Window(), 525, 371);
    EXPECT_EQ(TextOf(Window()), L"Ayuda =)");
    EXPECT_NE(ClassIcon(Window()), nullptr);
    EXPECT_EQ(ClassIcon(Window()), ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELQUOR)));
}

TEST_F(Form2Test, Check1BeyondTheVisibleWindowIsTheOnlyControlThatTakesTheKeyboard) {
    HWND check = form_->Check1();
    // 8400, 6480, 495, 255 twips.
    const RECT rect = RectInParent(check);
    EXPECT_EQ(rect.left, 560);
    EXPECT_EQ(rect.top, 432);
    EXPECT_EQ(rect.right - rect.left, 33);
    EXPECT_EQ(rect.bottom - rect.top, 17);

    EXPECT_EQ(::GetNextDlgTabItem(Window(), nullptr, FALSE), check);
    EXPECT_EQ(::GetNextDlgTabItem(Window(), check, FALSE), check);
    EXPECT_EQ(::GetWindow(Window(), GW_CHILD), check);
    EXPECT_EQ(::GetWindow(check, GW_HWNDNEXT), nullptr);
}

using HelpDragTest = Form2Test;

TEST_F(HelpDragTest, APressOnTheCrossNeitherDragsItNorClosesItWhenLetGoElsewhere) {
    EXPECT_EQ(MovedBy([&] { DragWith(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, kCross, -40, 40); }), (POINT{0, 0}));
    EXPECT_TRUE(::IsWindow(Window()));
}

TEST_F(HelpDragTest, TheMouseDragsItFromTheSkinButNotFromTheCross) {
    EXPECT_EQ(MovedBy([&] { RealDrag(OnScreen(kBare), 30, 20); }), (POINT{30, 20}));
    EXPECT_EQ(MovedBy([&] { RealDrag(OnScreen(kCross), -30, 20); }), (POINT{0, 0}));
}

TEST_F(Form2Test, TheCrossUnloadsIt) {
    bool destroyed = false;
    form_->NotifyWhenDestroyed([&] { destroyed = true; });
    const HWND window = Window();

    ClickAt(window, kCross.x, kCross.y);
    PumpMessages();

    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(::IsWindow(window));
}

}  // namespace
