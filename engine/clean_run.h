#pragma once

#include <functional>

#include "platform/platform_services.h"
#include "settings/clean_locations.h"
#include "settings/clean_settings.h"
#include "settings/entry_list.h"
#include "window/window_controls.h"

// What the clean run needs of the main window.
struct CleanRunWindow {
  CheckBoxes& boxes;
  StatusLine& status;
  WaitCursor& waitCursor;
  const EntryList& entries;
  std::function<void()> exit;  // the window's Exit path (OnCancel)
};

// The main window's OnOK: one whole clean run. Gathers the files of the
// ticked categories, in a fixed order, and then those of the custom entries,
// top row first, and, when its box is ticked, those of the trash's bin
// folders; only then deletes them one by one under the deletion options
// (the trash's by its own rules). Then, as configured, starts the auto-run
// program and leaves through the window's Exit path. The status line names
// each step and is empty at the end. Nothing is reported beyond that.
void RunClean(CleanRunWindow& window, const CleanLocations& locations,
              const CleanSettings& settings, PlatformServices& platform);
