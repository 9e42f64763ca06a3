#include "shell/DriveTypes.h"

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "support/TestDrives.h"

namespace {

std::wstring Drive(wchar_t letter) { return {letter, L':'}; }

// The system's answers, on the suite's drives: R: and S: removable folders, T: a removable letter
// whose folder is missing.
TEST(SystemDriveTypesTest, TheSuitesLettersExistAndAreRemovableEvenWithTheirFolderMissing) {
    ASSERT_TRUE(TestDrives::Mapped()) << "run through cmake/wine-run";
    ASSERT_EQ(::GetFileAttributesW(L"T:\\"), INVALID_FILE_ATTRIBUTES) << "T:'s folder is there";

    for (const wchar_t letter : {L'R', L'S', L'T'}) {
        const auto device = SystemDriveTypes().DeviceOf(Drive(letter));
        ASSERT_TRUE(device.has_value()) << Drive(letter);
        EXPECT_FALSE(device->empty()) << Drive(letter);
        EXPECT_EQ(SystemDriveTypes().TypeOf(Drive(letter)), static_cast<UINT>(DRIVE_REMOVABLE)) << Drive(letter);
    }
    EXPECT_TRUE(RemovableDriveFinder(SystemDriveTypes()).AnyRemovable(std::vector<std::wstring>{L"T:"}));
}

TEST(SystemDriveTypesTest, TheLettersThatExistAreThoseOfGetLogicalDrives) {
    const DWORD logical = ::GetLogicalDrives();
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        const bool listed = (logical >> (letter - L'A')) & 1;
        EXPECT_EQ(SystemDriveTypes().DeviceOf(Drive(letter)).has_value(), listed) << Drive(letter);
    }
}

TEST(SystemDriveTypesTest, ALetterThatDoesNotExistHasNoRootSoItCannotBeRemovable) {
    int absent = 0;
    for (wchar_t letter = L'A'; letter <= L'Z'; ++letter) {
        if (SystemDriveTypes().DeviceOf(Drive(letter))) continue;
        ++absent;
        EXPECT_EQ(SystemDriveTypes().TypeOf(Drive(letter)), static_cast<UINT>(DRIVE_NO_ROOT_DIR)) << Drive(letter);
    }
    EXPECT_GT(absent, 0) << "every letter is taken";
}

}  // namespace
