#pragma once

#include <cstddef>
#include <string>
#include <string_view>

// The separator the program writes between a directory and a name, and the
// ones it reads as such. Windows shows '\' and takes '/' too, so a path the
// user typed as C:/Temp/ is split and trimmed as C:\Temp\ is; on POSIX '\'
// is an ordinary character of a name.
#ifdef _WIN32
inline constexpr char kPathSeparator = '\\';
inline constexpr std::string_view kPathSeparators = "\\/";
#else
inline constexpr char kPathSeparator = '/';
inline constexpr std::string_view kPathSeparators = "/";
#endif

inline bool IsPathSeparator(char c) { return kPathSeparators.find(c) != std::string_view::npos; }

// `path` with every separator written as kPathSeparator, so that a path
// typed with '/' on Windows is shown and joined in one form.
inline std::string WithSystemSeparators(std::string path) {
  for (char& c : path)
    if (IsPathSeparator(c)) c = kPathSeparator;
  return path;
}

// Where the last separator of `path` at or before `before` is, or npos.
inline std::size_t LastPathSeparator(std::string_view path,
                                     std::size_t before = std::string_view::npos) {
  return path.find_last_of(kPathSeparators, before);
}

// How many characters at the start of `path` name its root, its separator
// included: 1 for "/..." on POSIX; on Windows 3 for a drive's root
// ("C:\..."), and for a share all of "\\server\share\"; 0 for a path
// without one. Whatever is shorter than the root is no directory of its
// own: "C:" alone is the current directory of drive C, not its root.
inline std::size_t RootLength(std::string_view path) {
#ifdef _WIN32
  const bool driveLetter = path.size() >= 3 && ((path[0] >= 'A' && path[0] <= 'Z') ||
                                                (path[0] >= 'a' && path[0] <= 'z'));
  if (driveLetter && path[1] == ':' && IsPathSeparator(path[2])) return 3;
  if (path.size() >= 2 && IsPathSeparator(path[0]) && IsPathSeparator(path[1])) {
    const std::size_t serverEnd = path.find_first_of(kPathSeparators, 2);
    if (serverEnd == std::string_view::npos) return path.size();
    const std::size_t shareEnd = path.find_first_of(kPathSeparators, serverEnd + 1);
    return shareEnd == std::string_view::npos ? path.size() : shareEnd + 1;
  }
  return 0;
#else
  return path.starts_with('/') ? 1 : 0;
#endif
}
