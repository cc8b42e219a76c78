#pragma once

#include <cstdint>
#include <string>

// One custom entry: either one file, or the files matching a wildcard in a
// directory (optionally with all of its sub-directories).
struct CleanEntry {
  int32_t individual = 0;  // non-zero: `path` names one file
  std::string path;        // the file, or the directory of a wildcard entry
  std::string wildcard;    // such as "*.tmp"; empty for an individual file
  int32_t recurse = 0;     // wildcard entry: non-zero to sweep sub-directories

  bool operator==(const CleanEntry&) const = default;
};
