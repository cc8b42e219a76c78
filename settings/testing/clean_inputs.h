#pragma once

// Entries, locations and deletion options, written shortly. Test-only.

#include <string>

#include "settings/clean_entry.h"
#include "settings/clean_locations.h"
#include "settings/clean_settings.h"

inline CleanEntry File(const std::string& path) { return {1, path, "", 0}; }
inline CleanEntry Wildcard(const std::string& path, const std::string& wildcard, int recurse) {
  return {0, path, wildcard, recurse};
}

inline CleanLocations TempAndTmp(const std::string& temp, const std::string& tmp) {
  CleanLocations locations;
  locations.m_strTemp = temp;
  locations.m_strTmp = tmp;
  return locations;
}

// The options that let hidden, read-only and system files go.
inline CleanSettings Allowing(bool hidden, bool readOnly, bool system) {
  CleanSettings settings;
  settings.m_bDelHiddenFiles = hidden;
  settings.m_bDelReadOnlyFiles = readOnly;
  settings.m_bDelSystemFiles = system;
  return settings;
}
