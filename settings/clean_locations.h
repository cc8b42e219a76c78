#pragma once

#include <string>

// The directories of the built-in categories, found once when the window
// opens. An empty string means "not found", and such a category is never
// swept.
struct CleanLocations {
  std::string m_strRecent;
  std::string m_strNetscapeCache;
  std::string m_strIECache;
  std::string m_strIEHistory;
  std::string m_strTemp;
  std::string m_strTmp;  // empty when it equals m_strTemp

  bool operator==(const CleanLocations&) const = default;
};
