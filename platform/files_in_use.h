#pragma once

#include <cstdint>

// The files running processes hold open or mapped, found once and asked
// many times. Windows refuses to delete such a file; where the system lets
// it go, the cleaner asks here so as to leave it alone just the same. A file
// opened after the finding is not among them.
//
// Files are named by their device and inode, as a look at the file (lstat)
// gives them. Every question waits for the finding to end; where the system
// can't tell which files are in use, every answer is "no".
class FilesInUse {
 public:
  virtual ~FilesInUse() = default;

  // Whether the file was found in use.
  virtual bool Has(std::uint64_t device, std::uint64_t inode) = 0;
  // Whether any file on `device` was found in use: where none was, its
  // files need no look before their deletion.
  virtual bool AnyOn(std::uint64_t device) = 0;
  // Whether any file at all was found in use.
  virtual bool Any() = 0;
};
