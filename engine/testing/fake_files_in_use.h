#pragma once

#include <cstdint>
#include <set>
#include <utility>

#include "platform/files_in_use.h"

// Files in use as a test names them, by device and inode.
class FakeFilesInUse : public FilesInUse {
 public:
  bool Has(std::uint64_t device, std::uint64_t inode) override {
    return files.contains({device, inode});
  }
  bool AnyOn(std::uint64_t device) override {
    for (const auto& file : files)
      if (file.first == device) return true;
    return false;
  }
  bool Any() override { return !files.empty(); }

  std::set<std::pair<std::uint64_t, std::uint64_t>> files;
};
