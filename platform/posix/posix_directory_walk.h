#pragma once

#include <cstddef>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

// Reaches directories by path one name at a time, from the root (or the
// working directory for a relative path), so that a path of any length can
// be reached. The last directories reached stay open: the next path that
// shares most of its directories with the last one costs an open or two.
// At most a fixed number of descriptors is held whatever the depth; a
// closed directory is found again from the one below it (its ".."),
// checked to be the directory that was there before, or else the walk
// starts over from the root. Names are looked up as the system looks up a
// path, links included: callers check the identity of what they reach.
class PosixDirectoryWalk {
 public:
  PosixDirectoryWalk() = default;
  ~PosixDirectoryWalk() { Clear(); }
  PosixDirectoryWalk(const PosixDirectoryWalk&) = delete;
  PosixDirectoryWalk& operator=(const PosixDirectoryWalk&) = delete;

  // A descriptor of `directory`, owned by the walk and valid until the next
  // call, or -1 when it can't be reached. `identity` is which directory it
  // is.
  int Reach(std::string_view directory, std::optional<DirectoryIdentity>& identity);
  // Closes everything held.
  void Clear();

 private:
  struct Step {
    std::size_t end;  // where its name ends in reached_; 0 for the start
    int fd = -1;      // -1 while closed to spare descriptors
    DirectoryIdentity identity;
  };
  bool Start(bool absolute);
  bool Climb();
  bool Enter(std::string_view name, std::size_t end);

  std::vector<Step> steps_;  // the starting directory first
  bool absolute_ = false;
  std::string reached_;  // the path the deepest step was reached by
};
