#pragma once

#include <initializer_list>
#include <string>
#include <string_view>
#include <vector>

#include "platform/path_separator.h"

// A test's path from the root ("/tmp/a.tmp") in the system's absolute form:
// as written on POSIX, on drive C with backslashes on Windows
// ("C:\tmp\a.tmp"), so that the engine's tests read the same on both.
inline std::string SystemPath(std::string_view rooted) {
#ifdef _WIN32
  std::string path = "C:";
  for (const char c : rooted) path += c == '/' ? kPathSeparator : c;
  return path;
#else
  return std::string(rooted);
#endif
}

inline std::vector<std::string> SystemPaths(std::initializer_list<std::string_view> rooted) {
  std::vector<std::string> paths;
  for (const std::string_view path : rooted) paths.push_back(SystemPath(path));
  return paths;
}
