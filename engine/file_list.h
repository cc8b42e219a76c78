#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "platform/file_system.h"

// The full paths gathered by a sweep, in the order they were found. It only
// grows at its end; it is never sorted and never freed of duplicates.
// Beside each path it keeps, where known, which directory the file was
// listed in, so that the deletion can tell when a directory on the path was
// replaced after the sweep.
class FileList {
 public:
  // A path the user named: it is taken as named.
  void Append(std::string path) {
    paths_.push_back(std::move(path));
    directoryOf_.push_back(kNamed);
  }
  // A path found in the listing of the directory `listedIn`.
  void Append(std::string path, const DirectoryIdentity& listedIn) {
    // Paths of one directory come in a run, so the identity is kept once a
    // run rather than once a path.
    if (directories_.empty() || directories_.back() != listedIn) directories_.push_back(listedIn);
    paths_.push_back(std::move(path));
    directoryOf_.push_back(static_cast<std::uint32_t>(directories_.size() - 1));
  }

  std::size_t Count() const { return paths_.size(); }
  const std::string& At(std::size_t index) const { return paths_[index]; }
  ListedIn ListedInAt(std::size_t index) const {
    const std::uint32_t directory = directoryOf_[index];
    if (directory == kNamed) return std::nullopt;
    return directories_[directory];
  }

  auto begin() const { return paths_.begin(); }
  auto end() const { return paths_.end(); }

 private:
  static constexpr std::uint32_t kNamed = UINT32_MAX;

  std::vector<std::string> paths_;
  std::vector<std::uint32_t> directoryOf_;  // index into directories_, or kNamed
  std::vector<DirectoryIdentity> directories_;
};
