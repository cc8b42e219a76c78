#pragma once

#include <fcntl.h>
#include <unistd.h>

#include <string>

// Removes a chain of directories each named `name`, one below the other
// under `root`, too deep to be removed by path: walks down by descriptor,
// then back up removing each level. Returns how many "f.tmp" files were
// still in it. Shared by the deep-tree tests and benchmark; header-only so
// that the benchmark, built without the tests, needs no test library.
inline long RemoveChain(const std::string& root, const char* name) {
  long left = 0;
  long depth = 0;
  int directory = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  while (directory >= 0) {
    if (::unlinkat(directory, "f.tmp", 0) == 0) ++left;
    const int below = ::openat(directory, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (below < 0) break;
    ::close(directory);
    directory = below;
    ++depth;
  }
  for (; directory >= 0 && depth > 0; --depth) {
    const int above = ::openat(directory, "..", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(directory);
    directory = above;
    if (directory >= 0) ::unlinkat(directory, name, AT_REMOVEDIR);
  }
  if (directory >= 0) ::close(directory);
  ::rmdir(root.c_str());
  return left;
}
