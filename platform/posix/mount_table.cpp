#include "platform/posix/mount_table.h"

#include <array>
#include <sstream>
#include <string_view>

namespace {

bool IsOctalDigit(char c) { return c >= '0' && c <= '7'; }

// The kernel writes ' ', '\t', '\n' and '\\' in mount table fields as a
// backslash and three octal digits.
std::string DecodeField(std::string_view field) {
  std::string decoded;
  decoded.reserve(field.size());
  for (std::size_t i = 0; i < field.size(); ++i) {
    if (field[i] == '\\' && i + 3 < field.size() && IsOctalDigit(field[i + 1]) &&
        IsOctalDigit(field[i + 2]) && IsOctalDigit(field[i + 3])) {
      decoded += static_cast<char>(((field[i + 1] - '0') << 6) | ((field[i + 2] - '0') << 3) |
                                   (field[i + 3] - '0'));
      i += 3;
    } else {
      decoded += field[i];
    }
  }
  return decoded;
}

// File systems that live on a local block device. Everything else (tmpfs,
// ramfs, proc, sysfs, devtmpfs, nfs, cifs, smb3, sshfs and other fuse.*,
// iso9660, udf, autofs, squashfs, overlay, ...) is never touched: a
// whitelist keeps an unknown pseudo or network file system out too.
constexpr std::array<std::string_view, 20> kLocalDiskTypes = {
    "ext2", "ext3", "ext4",  "xfs",   "btrfs", "f2fs",  "jfs", "reiserfs", "nilfs2", "bcachefs",
    "zfs",  "vfat", "msdos", "exfat", "ntfs",  "ntfs3", "hfs", "hfsplus",  "ufs",    "fuseblk",
};

bool IsUnder(std::string_view directory, std::string_view parent) {
  return directory == parent ||
         (directory.starts_with(parent) && directory.size() > parent.size() &&
          directory[parent.size()] == '/');
}

}  // namespace

std::vector<MountPoint> ParseMountTable(std::istream& table) {
  std::vector<MountPoint> mounts;
  std::string line;
  while (std::getline(table, line)) {
    std::istringstream fields(line);
    std::string device, directory, type;
    if (!(fields >> device >> directory >> type)) continue;
    mounts.push_back({DecodeField(device), DecodeField(directory), DecodeField(type)});
  }
  return mounts;
}

bool IsFixedLocalDisk(const MountPoint& mount) {
  bool knownType = false;
  for (std::string_view type : kLocalDiskTypes) knownType = knownType || mount.type == type;
  if (!knownType) return false;
  // Desktops mount USB sticks, memory cards and the like here.
  return !IsUnder(mount.directory, "/media") && !IsUnder(mount.directory, "/run/media");
}
