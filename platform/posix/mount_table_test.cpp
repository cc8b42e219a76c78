#include "platform/posix/mount_table.h"

#include <gtest/gtest.h>

#include <sstream>

namespace {

TEST(MountTableTest, ReadsFieldsInOrderAndDecodesEscapes) {
  std::istringstream table(
      "/dev/sda1 / ext4 rw,relatime 0 0\n"
      "\n"
      "short line\n"
      "/dev/sdb1 /srv/my\\040disk\\011tab\\134x xfs rw 0 0\n"
      "server:/export /mnt/nfs nfs4 rw 0 0\n");
  const auto mounts = ParseMountTable(table);
  ASSERT_EQ(mounts.size(), 3u);
  EXPECT_EQ(mounts[0].directory, "/");
  EXPECT_EQ(mounts[0].type, "ext4");
  EXPECT_EQ(mounts[1].directory, "/srv/my disk\ttab\\x");
  EXPECT_EQ(mounts[2].device, "server:/export");
}

TEST(MountTableTest, OnlyFixedLocalDisksCount) {
  EXPECT_TRUE(IsFixedLocalDisk({"/dev/sda1", "/", "ext4"}));
  EXPECT_TRUE(IsFixedLocalDisk({"/dev/nvme0n1p2", "/home", "btrfs"}));
  EXPECT_TRUE(IsFixedLocalDisk({"/dev/sdb1", "/mnt/windows", "ntfs3"}));
  EXPECT_TRUE(IsFixedLocalDisk({"/dev/sdc1", "/mediabank", "xfs"}));

  for (const char* type : {"tmpfs", "ramfs", "proc", "sysfs", "devtmpfs", "overlay", "nfs", "nfs4",
                           "cifs", "smb3", "fuse.sshfs", "fuse.gvfsd-fuse", "iso9660", "udf",
                           "autofs", "squashfs", "cgroup2", "unknownfs"})
    EXPECT_FALSE(IsFixedLocalDisk({"none", "/mnt/x", type})) << type;

  // Removable media, whatever their file system.
  EXPECT_FALSE(IsFixedLocalDisk({"/dev/sdd1", "/media/usb", "vfat"}));
  EXPECT_FALSE(IsFixedLocalDisk({"/dev/sdd1", "/media", "ext4"}));
  EXPECT_FALSE(IsFixedLocalDisk({"/dev/sdd1", "/run/media/user/STICK", "exfat"}));
}

}  // namespace
