#include "Win32FileSystemService.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TestDrives.h"

namespace {

std::wstring Drive(wchar_t letter) { return {letter, L':'}; }

// The system's answers, on the suite's drives: R: and S: removable folders, T: a removable letter
// whose folder is missing.
class SystemDriveFactsTest : public ::testing::Test {
protected:
    win32::FileSystemService system_;
};

TEST_F(SystemDriveFactsTest, TheSuitesLettersExistAndAreRemovableEvenWithTheirFolderMissing) {
    ASSERT_TRUE(TestDrives::Mapped()) << "run through cmake/wine-run";
    ASSERT_EQ(::GetFileAttributesW(L"T:\\"), INVALID_FILE_ATTRIBUTES) << "T:'s folder is there";

    for (const wchar_t letter : {L'R', L'S', L'T'}) {
        const auto device = system_.DeviceOf(Drive(letter));
        ASSERT_TRUE(device.has_value()) << Drive(letter);
        EXPECT_FALSE(device->empty()) << Drive(letter);
        EXPECT_EQ(system_.DriveType(Drive(letter)), DriveKind::Removable) << Drive(letter);
    }
    EXPECT_TRUE(KnownDrives(system_).AnyRemovable(std::vector<std::wstring>{L"T:"}));
}

TEST_F(SystemDriveFactsTest, TheLettersThatExistAreThoseOfGetLogicalDrives) {
    const DWORD logical = ::GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const bool listed = (logical >> (letter - L'A')) & 1;
        EXPECT_EQ(system_.DeviceOf(Drive(letter)).has_value(), listed) << Drive(letter);
    }
}

TEST_F(SystemDriveFactsTest, ALetterThatDoesNotExistHasNoTypeSoItCannotBeRemovable) {
    int absent = 0;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (system_.DeviceOf(Drive(letter))) continue;
        ++absent;
        EXPECT_EQ(system_.DriveType(Drive(letter)), DriveKind::Unknown) << Drive(letter);
    }
    EXPECT_GT(absent, 0) << "every letter is taken";
}

TEST_F(SystemDriveFactsTest, EachDriveHoldsAVolumeOfItsOwnAndANotReadyOneNone) {
    const auto r = system_.VolumeOf(L"R:");
    const auto s = system_.VolumeOf(L"S:");
    ASSERT_TRUE(r && s);
    EXPECT_EQ(system_.VolumeOf(L"R:"), r) << "asked twice";
    EXPECT_NE(r, s);
    EXPECT_FALSE(system_.VolumeOf(L"T:"));
}

}  // namespace
