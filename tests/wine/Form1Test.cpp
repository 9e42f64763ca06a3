#include "Form1.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "Resources.h"
#include "Win32FileSystemService.h"
#include "support/WindowFixture.h"
#include "support/MountManager.h"
#include "common/RecordingDriveTypes.h"
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

// The monitor created in-process on drives of the given kind; every question it asks is recorded.
// Timer1's ticks are fired by the test.
template <class Facts> class MonitorOn : public WindowFixture<Form1> {
protected:
    void SetUp() override {
        Open(asked_);
        asked_.Forget();
    }

    void Tick() { ::SendMessageW(Window(), WM_TIMER, Form1::kTimer1, 0); }
    bool ShowsConnected() const { return &form_->pic() == &form_->plugin(); }
    bool ShowsIdle() const { return &form_->pic() == form_->IdlePicture; }
    bool WaitsForRepaint() const { return ::GetUpdateRect(Window(), nullptr, FALSE) != FALSE; }

    Facts drives_;
    RecordingDriveTypes asked_{drives_};
};

// On drives the test scripts.
using Form1Test = MonitorOn<ScriptedDrives>;

TEST_F(Form1Test, IsABorderlessWindowOfItsSizeCentredWithItsCaptionIconPicturesAndCheck1OutOfSight) {
    ExpectBorderlessAndCentred(Window(), 216, 217);
    EXPECT_EQ(TextOf(Window()), L"Estado De Conexión =)");
    EXPECT_NE(ClassIcon(Window()), nullptr);
    EXPECT_EQ(ClassIcon(Window()), ::LoadIconW(::GetModuleHandleW(nullptr), MAKEINTRESOURCEW(IDI_VELQUOR)));
    ASSERT_NE(form_->IdlePicture, nullptr);
    EXPECT_TRUE(*form_->IdlePicture) << "the not-connected picture did not load";
    EXPECT_TRUE(form_->plugin()) << "the connected picture did not load";
    // 2280, 6000, 495, 255 twips: below the window, ticked.
    const RECT check = RectInParent(form_->Check1());
    EXPECT_EQ(check.left, 152);
    EXPECT_EQ(check.top, 400);
    EXPECT_EQ(check.right - check.left, 33);
    EXPECT_EQ(check.bottom - check.top, 17);
    EXPECT_EQ(::SendMessageW(form_->Check1(), BM_GETCHECK, 0, 0), BST_CHECKED);
}

using DrivePollingTest = Form1Test;

TEST_F(DrivePollingTest, EachTickAsksTheLettersDToPInOrderAndNoOther) {
    for (wchar_t letter = L'D'; letter <= L'P'; ++letter) drives_.types[letter] = DriveKind::Fixed;
    drives_.types[L'G'] = DriveKind::CdRom;
    drives_.types[L'K'] = DriveKind::Network;
    drives_.types[L'M'] = DriveKind::Unknown;
    for (wchar_t letter : std::wstring(L"ABCQRSTUVWXYZ")) drives_.types[letter] = DriveKind::Removable;

    Tick();

    EXPECT_TRUE(ShowsIdle());
    EXPECT_EQ(asked_.deviceAsked, Letters(L'D', L'P'));
    EXPECT_EQ(asked_.typeAsked, Letters(L'D', L'P'));
}

TEST_F(DrivePollingTest, ItShowsTheConnectedPictureWhileALetterIsRemovable) {
    drives_.types[L'D'] = DriveKind::Fixed;
    drives_.types[L'K'] = DriveKind::Removable;
    Tick();
    EXPECT_TRUE(ShowsConnected());

    drives_.types.erase(L'K');
    Tick();
    EXPECT_TRUE(ShowsIdle());
}

TEST_F(DrivePollingTest, TheWindowRepaintsOnlyWhenThePictureChanges) {
    ::UpdateWindow(Window());
    drives_.types[L'D'] = DriveKind::Fixed;

    Tick();
    EXPECT_FALSE(WaitsForRepaint()) << "idle stayed idle";

    drives_.types[L'E'] = DriveKind::Removable;
    Tick();
    EXPECT_TRUE(WaitsForRepaint()) << "idle became connected";

    ::UpdateWindow(Window());
    // D: comes before E: and is not removable: the tick passes over it without a repaint.
    Tick();
    EXPECT_FALSE(WaitsForRepaint()) << "connected stayed connected";

    drives_.types.erase(L'E');
    Tick();
    EXPECT_TRUE(WaitsForRepaint()) << "connected became idle";
}

TEST_F(Form1Test, TheCrossUnloadsIt) {
    bool destroyed = false;
    form_->NotifyWhenDestroyed([&] { destroyed = true; });
    const HWND window = Window();

    ClickAt(window, kCross.x, kCross.y);
    PumpMessages();

    EXPECT_TRUE(destroyed);
    EXPECT_FALSE(::IsWindow(window));
}

TEST_F(Form1Test, ItCannotBeDragged) {
    const POINT bare{100, 150};
    EXPECT_EQ(MovedBy([&] { DragWith(WM_LBUTTONDOWN, WM_LBUTTONUP, MK_LBUTTON, bare, 30, 20); }), (POINT{0, 0}));
    EXPECT_EQ(MovedBy([&] { RealDrag(OnScreen(bare), 30, 20); }), (POINT{0, 0}));
    EXPECT_EQ(form_->DragAnchorX, 0);
    EXPECT_EQ(form_->DragAnchorY, 0);
}

// The monitor on the system's own drives. The suite maps removable R:, S: and T: (T:'s folder
// missing), all outside D: to P:.
using Form1OnTheSystemTest = MonitorOn<win32::FileSystemService>;

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
    const auto showsConnected = [this] {
        Tick();
        return ShowsConnected();
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

}  // namespace
