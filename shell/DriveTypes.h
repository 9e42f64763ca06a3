#pragma once

#include "listing/Windows_win.h"

#include <map>
#include <optional>
#include <span>
#include <string>

// What the system says about drive letters, as the connection monitor asks it. Drives are named
// by letter and colon ("D:"). Tests put in their own to script and count the questions.
class DriveTypes {
public:
    virtual ~DriveTypes() = default;
    // The device the letter names now (as QueryDosDeviceW gives it), the empty text when that
    // name cannot be read, or nothing when the system has no drive of that letter (it is not
    // among GetLogicalDrives).
    virtual std::optional<std::wstring> DeviceOf(const std::wstring& drive) = 0;
    // The type GetDriveTypeW gives the drive: DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_NO_ROOT_DIR, ...
    virtual UINT TypeOf(const std::wstring& drive) = 0;
};

// The system's own.
DriveTypes& SystemDriveTypes();

// Tells, as often as it is asked, whether one of a set of drives is removable, with the answer
// that asking each type in order up to the first removable one would give. A letter the system
// does not have cannot be removable. A drive's type is its device's, so a letter's type is asked
// again only when it names another device than when it was last asked, or had none meanwhile:
// under Wine, asking the type costs some twenty times what asking the device does.
class RemovableDriveFinder {
public:
    explicit RemovableDriveFinder(DriveTypes& types) : types_(types) {}

    bool AnyRemovable(std::span<const std::wstring> drives);

private:
    bool IsRemovable(const std::wstring& drive);

    struct KnownType {
        std::wstring device;
        bool removable = false;
    };

    DriveTypes& types_;
    std::map<std::wstring, KnownType> known_;  // by drive
};
