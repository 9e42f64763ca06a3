#include "shell/DriveTypes.h"

namespace {

class SystemDrives final : public DriveTypes {
public:
    std::optional<std::wstring> DeviceOf(const std::wstring& drive) override {
        // The letters of GetLogicalDrives are the DOS devices named "X:"; asking for one by name
        // costs 5 to 10 microseconds under Wine, where GetLogicalDrives costs a millisecond. A
        // device's name is short; a longer target (a subst of a deep folder) is there, unread.
        wchar_t targets[MAX_PATH + 1];
        if (::QueryDosDeviceW(drive.c_str(), targets, MAX_PATH + 1) != 0) return std::wstring(targets);
        if (::GetLastError() == ERROR_FILE_NOT_FOUND) return std::nullopt;
        return std::wstring();
    }
    UINT TypeOf(const std::wstring& drive) override {
        // The root: "D:" alone names the current folder of that drive.
        return ::GetDriveTypeW((drive + L"\\").c_str());
    }
};

}  // namespace

DriveTypes& SystemDriveTypes() {
    static SystemDrives drives;
    return drives;
}

bool RemovableDriveFinder::AnyRemovable(std::span<const std::wstring> drives) {
    for (const std::wstring& drive : drives) {
        if (IsRemovable(drive)) return true;
    }
    return false;
}

bool RemovableDriveFinder::IsRemovable(const std::wstring& drive) {
    const std::optional<std::wstring> device = types_.DeviceOf(drive);
    const auto known = known_.find(drive);
    if (device && known != known_.end() && known->second.device == *device) return known->second.removable;
    if (known != known_.end()) known_.erase(known);
    if (!device) return false;
    const bool removable = types_.TypeOf(drive) == DRIVE_REMOVABLE;
    // A device whose name could not be read may be another one at the next question.
    if (!device->empty()) known_.emplace(drive, KnownType{*device, removable});
    return removable;
}
