#include "Form2.h"

#include <gtest/gtest.h>

#include "Resources.h"
#include "support/MainWindowFixture.h"
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

using HelpFromTheMainWindowTest = WithTheMainWindow;

TEST_F(HelpFromTheMainWindowTest, TheQuestionMarkOpensOneHelpWindowAndASecondClickBringsItBackToTheFront) {
    ClickQuestionMark();
    ASSERT_NE(form_->help(), nullptr);
    const HWND help = form_->help()->hWnd();
    EXPECT_TRUE(::IsWindowVisible(help));
    ::ShowWindow(help, SW_MINIMIZE);
    ::SetForegroundWindow(Window());
    ASSERT_EQ(::GetForegroundWindow(), Window());

    ClickQuestionMark();

    ASSERT_NE(form_->help(), nullptr);
    EXPECT_EQ(form_->help()->hWnd(), help);
    EXPECT_EQ(WindowsOfClass(L"VelquorHelp"), 1);
    EXPECT_FALSE(::IsIconic(help));
    EXPECT_EQ(::GetForegroundWindow(), help);
    EXPECT_EQ(::GetWindow(help, GW_OWNER), nullptr);
}

TEST_F(HelpFromTheMainWindowTest, ClosingForgetsItAndReopeningShowsItCentredAgain) {
    ClickQuestionMark();
    ASSERT_NE(form_->help(), nullptr);
    const HWND first = form_->help()->hWnd();
    ::SendMessageW(first, WM_LBUTTONDOWN, MK_LBUTTON, PointParam(kBare.x, kBare.y));
    ::SendMessageW(first, WM_MOUSEMOVE, MK_LBUTTON, PointParam(kBare.x + 40, kBare.y + 30));
    ::SendMessageW(first, WM_LBUTTONUP, 0, PointParam(kBare.x + 40, kBare.y + 30));
    ASSERT_NE(WindowRect(first).left, (::GetSystemMetrics(SM_CXSCREEN) - 525) / 2) << "not dragged";

    ClickAt(first, kCross.x, kCross.y);
    PumpMessages();
    EXPECT_EQ(form_->help(), nullptr);
    EXPECT_FALSE(::IsWindow(first));

    ClickQuestionMark();
    ASSERT_NE(form_->help(), nullptr);
    ExpectBorderlessAndCentred(form_->help()->hWnd(), 525, 371);
}

TEST_F(HelpFromTheMainWindowTest, CancelsAutoPlayAgainAtEachLoadAndItsOwnCheck1UnhooksOnlyIt) {
    ClickQuestionMark();
    ClickVerEstado();
    ASSERT_NE(form_->help(), nullptr);
    ASSERT_NE(form_->monitor(), nullptr);
    HWND help = form_->help()->hWnd();
    EXPECT_EQ(AskAutoPlay(help), -1);

    ClickCheck1(form_->help()->Check1());

    EXPECT_EQ(AskAutoPlay(help), 0) << "the window's ordinary answer";
    EXPECT_EQ(AskAutoPlay(Window()), -1);
    EXPECT_EQ(AskAutoPlay(form_->monitor()->hWnd()), -1);

    ClickAt(help, kCross.x, kCross.y);
    PumpMessages();
    ClickQuestionMark();
    ASSERT_NE(form_->help(), nullptr);
    EXPECT_EQ(AskAutoPlay(form_->help()->hWnd()), -1);
    EXPECT_EQ(::SendMessageW(form_->help()->Check1(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

}  // namespace
