#pragma once

#include <istream>
#include <string>
#include <vector>

// One line of the kernel's mount table.
struct MountPoint {
  std::string device;
  std::string directory;  // where it is mounted
  std::string type;       // the file system type, such as "ext4"
};

// Reads a mount table in the format of /proc/self/mounts, in its order.
// The octal escapes the kernel writes for blanks, tabs, newlines and
// backslashes in names are decoded; lines too short to be a mount are
// passed over.
std::vector<MountPoint> ParseMountTable(std::istream& table);

// Whether the mount is a file system on a fixed local disk: a known disk
// file system type not mounted where removable media go. RAM, network,
// FUSE (other than block-device FUSE), optical, overlay and pseudo file
// systems are not.
bool IsFixedLocalDisk(const MountPoint& mount);
