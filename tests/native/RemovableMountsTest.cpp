#include <string>
#include <tuple>
#include <vector>

#include <gtest/gtest.h>

#include "listing/PosixFileSystemService.h"
#include "support/TempTree.h"

namespace {

using Drive = std::tuple<std::wstring, std::string, DriveKind>;
using Drives = std::vector<Drive>;

// A fake /sys/block: one folder per disk holding its "removable" flag.
class RemovableMountsTest : public ::testing::Test {
protected:
    void Disk(const std::string& name, const std::string& removable) {
        tree_.File("block/" + name + "/removable", removable + "\n");
    }
    Drives DrivesFor(const std::string& mounts) const {
        Drives drives;
        const std::string sysBlock = (tree_ / "block").string();
        for (const DriveMapping& d : RemovableDrivesFromMounts(mounts, sysBlock)) {
            drives.emplace_back(d.drive, d.folder, d.type);
        }
        return drives;
    }

    TempTree tree_;
};

TEST_F(RemovableMountsTest, RemovableDisksAreLetteredFromDInTableOrder) {
    Disk("sda", "0");
    Disk("sdb", "1");
    Disk("sdc", "1");
    Disk("mmcblk0", "1");
    Disk("nvme0n1", "0");
    const std::string mounts =
        "sysfs /sys sysfs rw,nosuid,nodev,noexec 0 0\n"
        "/dev/sda1 / ext4 rw,relatime 0 0\n"
        "/dev/sdb1 /media/ana/USB\\040STICK vfat rw,nosuid 0 0\n"
        "/dev/nvme0n1p2 /home ext4 rw 0 0\n"
        "/dev/mmcblk0p1 /media/ana/SD vfat rw 0 0\n"
        "tmpfs /run tmpfs rw 0 0\n"
        "/dev/sdc /media/ana/entero exfat rw 0 0\n";

    EXPECT_EQ(DrivesFor(mounts), (Drives{{L"D:", "/media/ana/USB STICK", DriveKind::Removable},
                                         {L"E:", "/media/ana/SD", DriveKind::Removable},
                                         {L"F:", "/media/ana/entero", DriveKind::Removable}}));
}

TEST_F(RemovableMountsTest, EachDeviceFindsItsWholeDisk) {
    const std::pair<std::string, std::string> deviceAndDisk[] = {
        {"sdb1", "sdb"},           {"sdb12", "sdb"},       {"mmcblk0p1", "mmcblk0"},
        {"nvme0n1p2", "nvme0n1"}, {"sdc", "sdc"},          {"mmcblk1", "mmcblk1"},
    };
    for (const auto& [device, disk] : deviceAndDisk) {
        TempTree sysfs;
        sysfs.File("block/" + disk + "/removable", "1\n");
        const auto drives = RemovableDrivesFromMounts("/dev/" + device + " /media/x vfat rw 0 0\n",
                                                      (sysfs / "block").string());
        ASSERT_EQ(drives.size(), 1u) << device;
        EXPECT_EQ(drives[0].folder, "/media/x") << device;
    }
}

TEST_F(RemovableMountsTest, OctalEscapesInMountPointsAreDecoded) {
    Disk("sdb", "1");
    EXPECT_EQ(DrivesFor("/dev/sdb1 /media/a\\011b\\134c\\012d vfat rw 0 0\n"),
              (Drives{{L"D:", "/media/a\tb\\c\nd", DriveKind::Removable}}));
}

TEST_F(RemovableMountsTest, FixedDisksOddLinesAndAMissingSysfsGiveNoDrive) {
    Disk("sda", "0");
    EXPECT_EQ(DrivesFor(""), Drives{});
    EXPECT_EQ(DrivesFor("/dev/sda1 /media/fijo ext4 rw 0 0\nsolo-un-campo\n/dev/ /x ext4 rw 0 0\n"),
              Drives{});
    const auto drives = RemovableDrivesFromMounts("/dev/sdb1 /media/x vfat rw 0 0\n",
                                                  (tree_ / "no-sysfs").string());
    EXPECT_TRUE(drives.empty()) << drives.size();
}

TEST_F(RemovableMountsTest, LettersStopAtZ) {
    Disk("sdb", "1");
    std::string mounts;
    for (int i = 1; i <= 25; ++i) {
        const std::string number = std::to_string(i);
        mounts += "/dev/sdb" + number + " /media/p" + number + " vfat rw 0 0\n";
    }
    const Drives drives = DrivesFor(mounts);
    ASSERT_EQ(drives.size(), 23u);
    EXPECT_EQ(drives.back(), (Drive{L"Z:", "/media/p23", DriveKind::Removable}));
}

}  // namespace
