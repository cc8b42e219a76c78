#pragma once

#include <string_view>

// Whether `path` names the same place wherever the program was started:
// on POSIX it begins at the root; on Windows at a drive's root (C:\Temp,
// C:/Temp) or at a share (\\server\share), since \Temp and C:Temp depend
// on the current drive and directory.
inline bool IsAbsolutePath(std::string_view path) {
#ifdef _WIN32
  const bool driveLetter = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') ||
                                                (path[0] >= 'a' && path[0] <= 'z'));
  const bool driveRoot = driveLetter && path[1] == ':' && (path[2] == '\\' || path[2] == '/');
  return driveRoot || path.starts_with("\\\\") || path.starts_with("//");
#else
  return path.starts_with('/');
#endif
}
