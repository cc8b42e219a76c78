#pragma once

// What the benchmarks share: a clock, the peak memory, a fresh work
// directory and the tree of half *.tmp files most of them clean.

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

namespace bench {

using Clock = std::chrono::steady_clock;

inline double SecondsSince(Clock::time_point start) {
  return std::chrono::duration<double>(Clock::now() - start).count();
}

// Of this process so far, in KiB (Linux counts ru_maxrss in kilobytes).
inline long PeakMemoryKiB() {
  struct rusage usage {};
  ::getrusage(RUSAGE_SELF, &usage);
  return usage.ru_maxrss;
}

// A new directory "PARENT/PREFIX-XXXXXX", or "" when it can't be made.
inline std::string FreshDirectoryUnder(const std::string& parent, const std::string& prefix) {
  std::string pattern = parent + "/" + prefix + "-XXXXXX";
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) return "";
  return buffer.data();
}

inline bool MakeEmptyFile(const std::string& path) {
  const int fd = ::open(path.c_str(), O_CREAT | O_WRONLY | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  ::close(fd);
  return true;
}

inline constexpr int kFilesPerDirectory = 100;

// `directories` directories of kFilesPerDirectory empty files each below
// `root` (made if missing), every other file a *.tmp, the rest *.dat.
inline bool MakeTree(const std::string& root, int directories) {
  if (::mkdir(root.c_str(), 0755) != 0 && errno != EEXIST) return false;
  char name[64];
  for (int d = 0; d < directories; ++d) {
    std::snprintf(name, sizeof name, "/dir%05d", d);
    const std::string directory = root + name;
    if (::mkdir(directory.c_str(), 0755) != 0) return false;
    for (int f = 0; f < kFilesPerDirectory; ++f) {
      std::snprintf(name, sizeof name, "/file%03d.%s", f, f % 2 ? "dat" : "tmp");
      if (!MakeEmptyFile(directory + name)) return false;
    }
  }
  return true;
}

}  // namespace bench
