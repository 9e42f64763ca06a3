#include "DriveFacts.h"

bool KnownDrives::IsRemovable(const std::wstring& drive) {
    const std::optional<std::wstring> device = facts_.DeviceOf(drive);
    const auto known = known_.find(drive);
    if (device && known != known_.end() && known->second.device == *device) {
        return known->second.type == DriveKind::Removable;
    }
    if (known != known_.end()) known_.erase(known);
    if (!device) return false;
    const DriveKind type = facts_.DriveType(drive);
    // A device whose name could not be read may be another one at the next question.
    if (!device->empty()) known_.emplace(drive, KnownType{*device, type});
    return type == DriveKind::Removable;
}

bool KnownDrives::AnyRemovable(std::span<const std::wstring> drives) {
    for (const std::wstring& drive : drives) {
        if (IsRemovable(drive)) return true;
    }
    return false;
}

bool KnownDrives::IsListed(const std::wstring& drive) {
    const bool ready = facts_.IsReady(drive);
    return IsRemovable(drive) && ready;
}
