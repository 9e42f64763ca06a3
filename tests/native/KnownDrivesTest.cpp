#include "DriveFacts.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "common/RecordingDriveTypes.h"

namespace {

using Drives = std::vector<std::wstring>;

// E: as one question finds it: absent, or a device of a type (L"": its name cannot be read).
struct LetterE {
    bool present;
    std::wstring device;
    DriveKind type;
};
const LetterE kGone{false, L"", DriveKind::Unknown};
LetterE Stick(const wchar_t* device) { return {true, device, DriveKind::Removable}; }
LetterE Disk(const wchar_t* device) { return {true, device, DriveKind::Fixed}; }

TEST(KnownDrivesTest, ATypeIsAskedAgainOnlyWhenTheLetterMayNameAnotherDevice) {
    struct Case {
        const char* rule;
        std::vector<LetterE> questions;
        std::vector<bool> typeAsked;  // at each question
    };
    const Case cases[] = {
        {"the same device is asked its type once", {Stick(L"usb1"), Stick(L"usb1"), Stick(L"usb1")}, {true, false, false}},
        {"another device is asked afresh", {Stick(L"usb1"), Disk(L"hd2"), Stick(L"usb1")}, {true, true, true}},
        {"a letter that went and came back is asked afresh, whatever its device's name",
         {Stick(L"usb1"), kGone, Disk(L"usb1")}, {true, false, true}},
        {"a device that cannot be named is asked every time", {Stick(L""), Disk(L""), Disk(L"")}, {true, true, true}},
        {"a missing letter is never asked its type", {kGone, kGone}, {false, false}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.rule);
        ScriptedDrives drives;
        RecordingDriveTypes asked(drives);
        KnownDrives known(asked);
        for (size_t i = 0; i < c.questions.size(); ++i) {
            const LetterE& e = c.questions[i];
            drives.types.erase(L'E');
            if (e.present) {
                drives.types[L'E'] = e.type;
                drives.devices[L'E'] = e.device;
            }
            asked.Forget();

            EXPECT_EQ(known.IsRemovable(L"E:"), e.present && e.type == DriveKind::Removable) << "question " << i;
            EXPECT_EQ(asked.typeAsked.size(), c.typeAsked[i] ? 1u : 0u) << "question " << i;
        }
    }
}

TEST(KnownDrivesTest, AnyRemovableAsksInOrderUpToTheFirstRemovable) {
    ScriptedDrives drives;
    drives.types = {{L'D', DriveKind::Fixed}, {L'E', DriveKind::Removable}, {L'F', DriveKind::Removable}};
    RecordingDriveTypes asked(drives);
    KnownDrives known(asked);
    const Drives letters{L"D:", L"E:", L"F:", L"G:"};

    EXPECT_TRUE(known.AnyRemovable(letters));
    EXPECT_EQ(asked.deviceAsked, (Drives{L"D:", L"E:"}));
    EXPECT_EQ(asked.typeAsked, (Drives{L"D:", L"E:"}));

    drives.types = {{L'D', DriveKind::CdRom}, {L'F', DriveKind::Network}};
    asked.Forget();
    EXPECT_FALSE(known.AnyRemovable(letters));
    EXPECT_EQ(asked.deviceAsked, letters);
    EXPECT_EQ(asked.typeAsked, (Drives{L"D:", L"F:"}));
}

// A card reader keeps its device when the card is pulled.
TEST(KnownDrivesTest, AListedDriveIsRemovableAndReadyNowWhatWasKnownOfItsType) {
    ScriptedDrives drives;
    drives.types = {{L'E', DriveKind::Removable}, {L'C', DriveKind::Fixed}};
    RecordingDriveTypes asked(drives);
    KnownDrives known(asked);

    EXPECT_TRUE(known.IsListed(L"E:"));
    EXPECT_FALSE(known.IsListed(L"C:"));
    drives.notReady = {L'E'};
    EXPECT_FALSE(known.IsListed(L"E:")) << "the card was pulled";
    drives.notReady.clear();
    EXPECT_TRUE(known.IsListed(L"E:"));
    EXPECT_EQ(asked.typeAsked, (Drives{L"E:", L"C:"}));
}

}  // namespace
