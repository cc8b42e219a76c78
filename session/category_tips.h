#pragma once

#include <string>
#include <vector>

#include "settings/clean_locations.h"
#include "window/control_ids.h"

// What the tooltip of a category's box says on this system: the folders it
// cleans and which files in them, or, for a box switched off because
// nothing to clean was found, why, and which section of the help tells
// more. The boxes keep their own captions; these texts say what they mean
// here.
struct CategoryTipSources {
  const CleanLocations& locations;
  std::vector<std::string> binFolders;  // the trash's folders, in the order emptied
  std::string home;                     // shown as "~" at the start of a path; may be empty
};

std::string CategoryTip(ControlId box, const CategoryTipSources& sources);

// A path as the tooltips show it: the home folder as "~", and a Firefox
// profile's folder name (a random string) as "…".
std::string ShortPath(const std::string& path, const std::string& home);
