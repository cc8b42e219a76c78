#pragma once

#include <span>
#include <string>

#include "settings/clean_locations.h"
#include "window/control_ids.h"

// The built-in categories of junk, in one table that the main window, the
// settings store and the clean run read. A new category is a row here, a
// box in the main window's template and, where it has a directory, a member
// of CleanLocations that the discovery fills.

// One directory that a category sweeps.
struct CategorySweep {
  std::string CleanLocations::*directory;
  const char* pattern;  // joined to the directory
  int recurse;          // 1: also every directory below it
  const char* status;   // the status line while it is swept
};

struct Category {
  ControlId box;                          // its check box in the main window
  const char* valueName;                  // the stored tick, in "Default Settings"
  int defaultState;                       // the tick when nothing is stored
  std::span<const CategorySweep> sweeps;  // in order; none for the waste basket
};

namespace category_sweeps {

inline constexpr CategorySweep kRecent[] = {
    {&CleanLocations::m_strRecent, "/*.lnk", 0, "Searching for recent documents..."},
};
// TEMP on its own, TMP with everything below it.
inline constexpr CategorySweep kTemp[] = {
    {&CleanLocations::m_strTemp, "/*.tmp", 0, "Searching for temp files..."},
    {&CleanLocations::m_strTmp, "/*.tmp", 1, "Searching for tmp files..."},
};
inline constexpr CategorySweep kNetscape[] = {
    {&CleanLocations::m_strNetscapeCache, "/*.*", 0, "Searching for Navigator cached files..."},
};
inline constexpr CategorySweep kIECache[] = {
    {&CleanLocations::m_strIECache, "/*.*", 1, "Searching for Internet Explorer cached files..."},
};
inline constexpr CategorySweep kIEHistory[] = {
    {&CleanLocations::m_strIEHistory, "/*.*", 0,
     "Searching for Internet Explorer history files..."},
};

}  // namespace category_sweeps

// In the order in which the ticks are loaded and saved and in which the
// clean run sweeps. The waste basket is emptied after the deletions, so it
// sweeps nothing here.
inline constexpr Category kCategories[] = {
    {ControlId::kRecentBox, "Recent Clear", 1, category_sweeps::kRecent},
    {ControlId::kTempBox, "Temp Clear", 1, category_sweeps::kTemp},
    {ControlId::kNetscapeBox, "Netscape Clear", 1, category_sweeps::kNetscape},
    {ControlId::kIECacheBox, "Explorer Clear", 1, category_sweeps::kIECache},
    {ControlId::kIEHistoryBox, "Explorer History Clear", 1, category_sweeps::kIEHistory},
    {ControlId::kRecycleBinBox, "Empty Recycle Bin", 0, {}},
};
