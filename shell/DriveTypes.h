#pragma once

#include "listing/Windows_win.h"

#include <span>
#include <string>

// What the system says about drive letters, as the connection monitor asks it. Drives are named
// by letter and colon ("D:"). Tests put in their own to script and count the questions.
class DriveTypes {
public:
    virtual ~DriveTypes() = default;
    // Whether the system has a drive of that letter at all (it is among GetLogicalDrives).
    virtual bool Exists(const std::wstring& drive) = 0;
    // The type GetDriveTypeW gives the drive: DRIVE_REMOVABLE, DRIVE_FIXED, DRIVE_NO_ROOT_DIR, ...
    virtual UINT TypeOf(const std::wstring& drive) = 0;
};

// The system's own.
DriveTypes& SystemDriveTypes();

// Whether one of drives is removable: their types are asked in order up to the first removable
// one. A letter the system does not have cannot be removable, so its type is not asked.
bool AnyRemovable(std::span<const std::wstring> drives, DriveTypes& types);
