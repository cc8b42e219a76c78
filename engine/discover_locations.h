#pragma once

#include <vector>

#include "platform/environment.h"
#include "platform/registry.h"
#include "settings/clean_locations.h"
#include "window/control_ids.h"
#include "window/window_controls.h"

// The category directories found at start-up, and the check boxes of the
// categories whose directory wasn't found.
struct DiscoveredLocations {
  CleanLocations locations;
  std::vector<ControlId> switchedOff;  // boxes to uncheck and disable, in order found
};

// Finds the recent-documents folder, the temporary directories ("TEMP" and
// "TMP"), the Netscape Navigator cache and the Internet Explorer cache and
// history, each exactly as the registry or the environment gives it.
DiscoveredLocations DiscoverLocations(const RegistryStrings& registry,
                                      const Environment& environment);

// Unchecks, then disables, each box of `switchedOff`.
void SwitchOffMissing(const DiscoveredLocations& found, CheckBoxes& boxes);
