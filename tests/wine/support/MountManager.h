#pragma once

#include "Win32Api.h"

#include <winioctl.h>

#include <cstring>
#include <string>
#include <vector>

#include "Utf8.h"
#include "Owners.h"

// Plugs a drive letter in and out while programs run, through Wine's mount manager as its drive
// settings do: every process of the prefix sees the new drive, or its absence, at once.
class MountManager {
public:
    // Maps letter to a host folder (a Unix path) as a drive of the given type (DRIVE_REMOVABLE,
    // DRIVE_FIXED, ...), in place of what the letter was.
    static bool Plug(wchar_t letter, UINT type, const std::wstring& hostFolder) {
        return Define(letter, type, win32::Utf8(hostFolder));
    }
    static bool Unplug(wchar_t letter) { return Define(letter, DRIVE_NO_ROOT_DIR, {}); }

private:
    // The request of Wine's own extension of the mount manager: the mount point follows it.
    struct UnixDrive {
        ULONG size;
        ULONG type;
        ULONG fsType;
        DWORD serial;
        ULONGLONG unixDevice;
        WCHAR letter;
        USHORT mountPointOffset;
        USHORT deviceOffset;
        USHORT labelOffset;
    };
    static constexpr DWORD kDefineUnixDrive =
        CTL_CODE(0x6d, 32, METHOD_BUFFERED, FILE_READ_ACCESS | FILE_WRITE_ACCESS);

    static bool Define(wchar_t letter, UINT type, const std::string& mountPoint) {
        const win32::UniqueFile manager{::CreateFileW(L"\\\\.\\MountPointManager", GENERIC_READ | GENERIC_WRITE,
                                               FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr, OPEN_EXISTING, 0,
                                               nullptr)};
        if (!manager) return false;
        std::vector<char> request(sizeof(UnixDrive) + mountPoint.size() + 1);
        UnixDrive drive{};
        drive.size = static_cast<ULONG>(request.size());
        drive.type = type;
        // The mount manager's letters are lower case.
        drive.letter = static_cast<WCHAR>(letter | 0x20);
        if (!mountPoint.empty()) drive.mountPointOffset = sizeof(UnixDrive);
        std::memcpy(request.data(), &drive, sizeof drive);
        std::memcpy(request.data() + sizeof drive, mountPoint.c_str(), mountPoint.size() + 1);
        DWORD returned = 0;
        return ::DeviceIoControl(manager.Get(), kDefineUnixDrive, request.data(),
                                 static_cast<DWORD>(request.size()), nullptr, 0, &returned, nullptr) != FALSE;
    }
};
