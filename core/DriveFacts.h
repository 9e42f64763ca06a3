#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <span>
#include <string>
#include <vector>

// How the system classifies a drive, numbered as the scripting file-system component numbers it.
enum class DriveKind : int {
    Unknown = 0,
    Removable = 1,
    Fixed = 2,
    Network = 3,
    CdRom = 4,
    RamDisk = 5,
};

// Which volume a drive holds: its serial number and the identity of its root folder. A stick
// swapped for another under the same letter, or the letter given to another disk, holds another.
struct VolumeId {
    std::uint32_t serial = 0;
    std::uint64_t root = 0;

    bool operator==(const VolumeId&) const = default;
};

// What the system says about its drive letters ("E:"). The file-system service answers it for
// the listing and the walks, and the connection monitor asks it too.
class DriveFacts {
public:
    virtual ~DriveFacts() = default;

    // Every drive letter the system knows ("E:"), in the system's order.
    virtual std::vector<std::wstring> Drives() = 0;
    // The device the letter names now, a question of a few microseconds: the empty text when its
    // name cannot be read, nothing when the system has no drive of that letter.
    virtual std::optional<std::wstring> DeviceOf(const std::wstring& drive) = 0;
    virtual DriveKind DriveType(const std::wstring& drive) = 0;
    // True when a medium can be read; false, without error, for an empty slot.
    virtual bool IsReady(const std::wstring& drive) = 0;
    // The volume in the drive now, in one cheap question; nothing when none can be read.
    virtual std::optional<VolumeId> VolumeOf(const std::wstring& drive) = 0;
};

// The one rule by which the program keeps what it was told of drives: a drive's type is its
// device's, so a letter's type is asked again only when the letter names another device than when
// it was last asked, or had none in between. The answers stay those of asking every time, and
// asking the device costs a twentieth of asking the type under Wine.
class KnownDrives {
public:
    explicit KnownDrives(DriveFacts& facts) : facts_(facts) {}

    bool IsRemovable(const std::wstring& drive);
    // Whether one of drives is removable, asking each in order up to the first removable one.
    bool AnyRemovable(std::span<const std::wstring> drives);
    // What the listing lists: a ready removable drive. Readiness is asked every time (a card
    // reader keeps its device when the card is pulled).
    bool IsListed(const std::wstring& drive);

private:
    struct KnownType {
        std::wstring device;
        DriveKind type = DriveKind::Unknown;
    };

    DriveFacts& facts_;
    std::map<std::wstring, KnownType> known_;  // by drive
};
