#include "Form1.h"

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Resources.h"
#include "Win32FileSystemService.h"
#include "support/MainWindowFixture.h"
#include "support/MountManager.h"
#include "support/RecordingDriveTypes.h"
#include "support/TestDrives.h"
#include "support/WindowTestSupport.h"

namespace {

using Drives = std::vector<std::wstring>;

// The monitor's close cross: 2880, 0, 375, 375 twips; its middle in pixels.
constexpr POINT kCross{(2880 + 375 / 2) / 15, 375 / 2 / 15};

Drives Letters(wchar_t first, wchar_t last) {
    Drives drives;
    for (wchar_t letter = first; letter <= last; ++letter) drives.push_back({letter, L':'});
    return drives;
}

// The monitor created in-process on drives the test scripts; every question it asks is recorded.
// Timer1 runs, but its ticks wait in the queue until a test pumps it: the tests call the
// handler themselves.
class Form1Test : public ::testing::Test {
protected:
    void SetUp() override {
        form_ = std::make_unique<Form1>(::GetModuleHandleW(nullptr), asked_);
        ASSERT_TRUE(form_->Create());
        form_->Show(SW_SHOWNOACTIVATE);
        PumpMessages();
        asked_.Forget();
    }
    void TearDown() override {
        form_.reset();
        PumpMessages();
    }

    HWND Window() const { return form_->hWnd(); }
    bool ShowsConnected() const { return &form_->pic() == &form_->plugin(); }
    bool ShowsIdle() const { return &form_->pic() == form_->IdlePicture; }
    // Every letter from D: to P: is there, of the given type.
    void AllOfDToP(DriveKind type) {
        for (wchar_t letter = L'D'; letter <= L'P'; ++letter) drives_.types[letter] = type;
    }
    bool WaitsForRepaint() const { return ::GetUpdateRect(Window(), nullptr, FALSE) != FALSE; }

    ScriptedDrives drives_;
    RecordingDriveTypes asked_{drives_};
    std::unique_ptr<Form1> form_;
};

TEST_F(Form1Test, IsABorderlessWindowOfItsSizeCentredWithItsCaptionIconAndCheck1OutOfSight) {
    ExpectBorderlessAndCentred(Window(), 216, 217);
    EXPECT_EQ(TextOf(Window()), L"Estado De Conexión =)");
    EXPECT_NE(ClassIcon(Window()), nullptr);
    EXPECT_EQ(ClassIcon(Window()), ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELQUOR)));
    // 2280, 6000, 495, 255 twips: below the window, ticked.
    const RECT check = RectInParent(form_->Check1());
    EXPECT_EQ(check.left, 152);
    EXPECT_EQ(check.top, 400);
    EXPECT_EQ(check.right - check.left, 33);
    EXPECT_EQ(check.bottom - check.top, 17);
    EXPECT_EQ(::SendMessageW(form_->Check1(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

TEST_F(Form1Test, LoadFillsTheDriveTableAndTakesTheNotConnectedPicture) {
    const std::array<std::wstring, 14> expected{L"",   L"D:", L"E:", L"F:", L"G:", L"H:", L"I:",
                                                L"J:", L"K:", L"L:", L"M:", L"N:", L"O:", L"P:"};
    EXPECT_EQ(form_->DriveLetterTable, expected);
    ASSERT_NE(form_->IdlePicture, nullptr);
    EXPECT_TRUE(ShowsIdle());
    EXPECT_NE(form_->IdlePicture, &form_->plugin());
    EXPECT_TRUE(*form_->IdlePicture) << "the not-connected picture did not load";
    EXPECT_TRUE(form_->plugin()) << "the connected picture did not load";
}

class DrivePollingTest : public Form1Test {};

TEST_F(DrivePollingTest, WithNoRemovableLetterEveryLetterIsAskedInOrderAndTheIdlePictureStays) {
    AllOfDToP(DriveKind::Fixed);
    drives_.types[L'G'] = DriveKind::CdRom;
    drives_.types[L'K'] = DriveKind::Network;
    drives_.types[L'M'] = DriveKind::Unknown;

    form_->Timer1_Timer();

    EXPECT_TRUE(ShowsIdle());
    EXPECT_EQ(asked_.typeAsked, Letters(L'D', L'P'));
}

TEST_F(DrivePollingTest, ARemovableEShowsTheConnectedPictureAndFToPAreNotAsked) {
    AllOfDToP(DriveKind::Removable);
    drives_.types[L'D'] = DriveKind::Fixed;

    form_->Timer1_Timer();

    EXPECT_TRUE(ShowsConnected());
    EXPECT_EQ(asked_.typeAsked, (Drives{L"D:", L"E:"}));
    EXPECT_EQ(asked_.deviceAsked, (Drives{L"D:", L"E:"}));
}

TEST_F(DrivePollingTest, ALetterTheSystemDoesNotHaveIsNotAskedItsType) {
    drives_.types[L'E'] = DriveKind::Fixed;
    drives_.types[L'K'] = DriveKind::Removable;

    form_->Timer1_Timer();

    EXPECT_TRUE(ShowsConnected());
    EXPECT_EQ(asked_.typeAsked, (Drives{L"E:", L"K:"}));
    EXPECT_EQ(asked_.deviceAsked, Letters(L'D', L'K'));
}

TEST_F(DrivePollingTest, LettersOutsideDToPAreNotSeen) {
    for (wchar_t letter : std::wstring(L"ABCQRSTUVWXYZ")) drives_.types[letter] = DriveKind::Removable;

    form_->Timer1_Timer();

    EXPECT_TRUE(ShowsIdle());
    EXPECT_TRUE(asked_.typeAsked.empty());
    EXPECT_EQ(asked_.deviceAsked, Letters(L'D', L'P'));
}

TEST_F(DrivePollingTest, ALettersTypeIsAskedAgainOnlyWhenItNamesAnotherDevice) {
    drives_.types[L'E'] = DriveKind::Removable;

    form_->Timer1_Timer();
    form_->Timer1_Timer();

    EXPECT_TRUE(ShowsConnected());
    EXPECT_EQ(asked_.typeAsked, Drives{L"E:"}) << "the second tick asked E:'s type again";
    EXPECT_EQ(asked_.deviceAsked, (Drives{L"D:", L"E:", L"D:", L"E:"}));

    // The letter now names a fixed drive's device.
    drives_.types[L'E'] = DriveKind::Fixed;
    asked_.Forget();
    form_->Timer1_Timer();

    EXPECT_TRUE(ShowsIdle());
    EXPECT_EQ(asked_.typeAsked, Drives{L"E:"});
}

TEST_F(DrivePollingTest, ALetterThatWentAndCameBackIsAskedAfreshEvenOnADeviceOfTheSameName) {
    drives_.types[L'E'] = DriveKind::Removable;
    drives_.devices[L'E'] = L"\\Device\\Harddisk4";
    form_->Timer1_Timer();
    drives_.types.erase(L'E');
    form_->Timer1_Timer();
    EXPECT_TRUE(ShowsIdle());

    // The system gives a name that is free again to whatever drive comes next.
    drives_.types[L'E'] = DriveKind::Fixed;
    form_->Timer1_Timer();

    EXPECT_TRUE(ShowsIdle());
    EXPECT_EQ(asked_.typeAsked, (Drives{L"E:", L"E:"}));
}

TEST_F(DrivePollingTest, ALetterWhoseDeviceCannotBeNamedIsAskedItsTypeAtEveryTick) {
    drives_.types[L'E'] = DriveKind::Removable;
    drives_.devices[L'E'] = L"";

    form_->Timer1_Timer();
    drives_.types[L'E'] = DriveKind::Fixed;
    form_->Timer1_Timer();

    EXPECT_TRUE(ShowsIdle());
    EXPECT_EQ(asked_.typeAsked, (Drives{L"E:", L"E:"}));
}

TEST_F(DrivePollingTest, TheWindowRepaintsOnlyWhenThePictureChanges) {
    ::UpdateWindow(Window());
    drives_.types[L'D'] = DriveKind::Fixed;

    form_->Timer1_Timer();
    EXPECT_FALSE(WaitsForRepaint()) << "idle stayed idle";

    drives_.types[L'E'] = DriveKind::Removable;
    form_->Timer1_Timer();
    EXPECT_TRUE(WaitsForRepaint()) << "idle became connected";

    ::UpdateWindow(Window());
    // D: comes before E: and is not removable: the tick passes over it without a repaint.
    form_->Timer1_Timer();
    EXPECT_FALSE(WaitsForRepaint()) << "connected stayed connected";

    drives_.types.erase(L'E');
    form_->Timer1_Timer();
    EXPECT_TRUE(WaitsForRepaint()) << "connected became idle";
}

TEST_F(DrivePollingTest, Timer1TicksByItselfAsOftenAsTheSystemLets) {
    drives_.types[L'E'] = DriveKind::Removable;

    PumpFor(500);

    EXPECT_TRUE(ShowsConnected());
    // Every tick asks first whether D: exists. The system's shortest interval is 10 to 16 ms.
    const auto ticks = std::count(asked_.deviceAsked.begin(), asked_.deviceAsked.end(), L"D:");
    EXPECT_GE(ticks, 10) << "Timer1 ticked " << ticks << " times in half a second";
}

TEST_F(Form1Test, TheCrossUnloadsItAndItsTimerStops) {
    bool destroyed = false;
    form_->NotifyWhenDestroyed([&] { destroyed = true; });
    const HWND window = Window();

    ClickAt(window, kCross.x, kCross.y);
    PumpMessages();

    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(::IsWindow(window));
    asked_.Forget();
    PumpFor(100);
    EXPECT_TRUE(asked_.deviceAsked.empty()) << "Timer1 still ticks";
}

TEST_F(Form1Test, ItCannotBeDragged) {
    const RECT before = WindowRect(Window());

    ::SendMessageW(Window(), WM_LBUTTONDOWN, MK_LBUTTON, PointParam(100, 150));
    ::SendMessageW(Window(), WM_MOUSEMOVE, MK_LBUTTON, PointParam(130, 170));
    ::SendMessageW(Window(), WM_LBUTTONUP, 0, PointParam(130, 170));
    POINT bare{100, 150};
    ::ClientToScreen(Window(), &bare);
    RealDrag(bare, 30, 20);

    EXPECT_EQ(WindowRect(Window()).left, before.left);
    EXPECT_EQ(WindowRect(Window()).top, before.top);
    EXPECT_EQ(form_->DragAnchorX, 0);
    EXPECT_EQ(form_->DragAnchorY, 0);
}

// The monitor on the system's own drives. The suite maps removable R:, S: and T: (T:'s folder
// missing), all outside D: to P:.
class Form1OnTheSystemTest : public ::testing::Test {
protected:
    win32::FileSystemService system_;
    RecordingDriveTypes asked_{system_};
};

TEST_F(Form1OnTheSystemTest, TheSuitesRemovableLettersOutsideDToPAreNotSeen) {
    ASSERT_TRUE(TestDrives::Mapped()) << "run through cmake/wine-run";
    for (const std::wstring drive : {L"R:", L"S:", L"T:"}) {
        ASSERT_EQ(system_.DriveType(drive), DriveKind::Removable) << drive;
    }
    const Drives dToP = Letters(L'D', L'P');
    for (const std::wstring& drive : dToP) {
        ASSERT_NE(system_.DriveType(drive), DriveKind::Removable)
            << "the prefix has a removable letter in D:-P: " << drive;
    }
    Form1 form(::GetModuleHandleW(nullptr), asked_);
    ASSERT_TRUE(form.Create());
    asked_.Forget();

    form.Timer1_Timer();

    EXPECT_EQ(&form.pic(), form.IdlePicture);
    EXPECT_EQ(asked_.deviceAsked, dToP);
    for (const std::wstring& drive : asked_.typeAsked) {
        EXPECT_TRUE(drive >= L"D:" && drive <= L"P:") << drive;
    }
}

// A letter of D: to P: that the prefix does not have, plugged in through the mount manager for
// one test and unplugged after it.
class PluggedLetter {
public:
    PluggedLetter() {
        for (wchar_t candidate = L'P'; candidate >= L'D' && !letter; --candidate) {
            if (!win32::FileSystemService().DeviceOf({candidate, L':'})) letter = candidate;
        }
    }
    PluggedLetter(const PluggedLetter&) = delete;
    PluggedLetter& operator=(const PluggedLetter&) = delete;
    ~PluggedLetter() {
        if (letter) Unplug();
    }

    bool Plug(UINT type) const { return MountManager::Plug(letter, type, TestDrives::HostFolders().at(L'R')); }
    bool Unplug() const { return MountManager::Unplug(letter); }

    wchar_t letter = 0;
};

TEST_F(Form1OnTheSystemTest, ADrivePluggedInChangedAndPulledOutWhileItIsOpenShowsAtTheNextTick) {
    ASSERT_TRUE(TestDrives::Mapped()) << "run through cmake/wine-run";
    const PluggedLetter plugged;
    ASSERT_NE(plugged.letter, 0) << "every letter of D: to P: is taken";
    Form1 form(::GetModuleHandleW(nullptr), system_);
    ASSERT_TRUE(form.Create());
    const auto showsConnected = [&form] {
        form.Timer1_Timer();
        return &form.pic() == &form.plugin();
    };
    ASSERT_FALSE(showsConnected());

    ASSERT_TRUE(plugged.Plug(DRIVE_REMOVABLE));
    EXPECT_TRUE(showsConnected()) << "plugged in";
    ASSERT_TRUE(plugged.Plug(DRIVE_FIXED));
    EXPECT_FALSE(showsConnected()) << "the letter is now a fixed drive";
    ASSERT_TRUE(plugged.Plug(DRIVE_REMOVABLE));
    EXPECT_TRUE(showsConnected()) << "removable again";
    ASSERT_TRUE(plugged.Unplug());
    EXPECT_FALSE(showsConnected()) << "pulled out";
    ASSERT_TRUE(plugged.Plug(DRIVE_REMOVABLE));
    EXPECT_TRUE(showsConnected()) << "plugged in again";
    ASSERT_TRUE(plugged.Plug(DRIVE_CDROM));
    EXPECT_FALSE(showsConnected()) << "the letter is now a CD drive";
}

class MonitorFromTheMainWindowTest : public WithTheMainWindow {};

TEST_F(MonitorFromTheMainWindowTest, VerEstadoOpensOneMonitorAndASecondClickBringsItForward) {
    ClickVerEstado();
    ASSERT_NE(window_->monitor(), nullptr);
    const HWND monitor = window_->monitor()->hWnd();
    EXPECT_TRUE(::IsWindowVisible(monitor));
    ::SetForegroundWindow(Main());
    ASSERT_EQ(::GetForegroundWindow(), Main());

    ClickVerEstado();

    ASSERT_NE(window_->monitor(), nullptr);
    EXPECT_EQ(window_->monitor()->hWnd(), monitor);
    EXPECT_EQ(WindowsOfClass(L"VelquorMonitor"), 1);
    EXPECT_EQ(::GetForegroundWindow(), monitor);
    EXPECT_EQ(::GetWindow(monitor, GW_OWNER), nullptr);
}

TEST_F(MonitorFromTheMainWindowTest, ClosingForgetsItAndReopeningStartsAfreshCentredAndIdle) {
    ClickVerEstado();
    ASSERT_NE(window_->monitor(), nullptr);
    const HWND first = window_->monitor()->hWnd();
    ::SetWindowPos(first, nullptr, 5, 5, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    window_->monitor()->DriveLetterTable[1] = L"Z:";

    ClickAt(first, kCross.x, kCross.y);
    PumpMessages();
    EXPECT_EQ(window_->monitor(), nullptr);
    EXPECT_FALSE(::IsWindow(first));

    ClickVerEstado();
    ASSERT_NE(window_->monitor(), nullptr);
    ExpectBorderlessAndCentred(window_->monitor()->hWnd(), 216, 217);
    EXPECT_EQ(window_->monitor()->DriveLetterTable[1], L"D:");
    EXPECT_EQ(&window_->monitor()->pic(), window_->monitor()->IdlePicture);
}

TEST_F(MonitorFromTheMainWindowTest, CancelsAutoPlayAndItsOwnCheck1UnhooksOnlyIt) {
    ClickVerEstado();
    ClickQuestionMark();
    ASSERT_NE(window_->monitor(), nullptr);
    ASSERT_NE(window_->help(), nullptr);
    const HWND monitor = window_->monitor()->hWnd();
    EXPECT_EQ(AskAutoPlay(monitor), -1);

    ClickCheck1(window_->monitor()->Check1());

    EXPECT_EQ(AskAutoPlay(monitor), 0) << "the window's ordinary answer";
    EXPECT_EQ(AskAutoPlay(Main()), -1);
    EXPECT_EQ(AskAutoPlay(window_->help()->hWnd()), -1);

    ClickCheck1(window_->monitor()->Check1());
    EXPECT_EQ(AskAutoPlay(monitor), -1);
}

}  // namespace
