#pragma once

// Loads the options, the category toggles, the list's columns and the
// custom entries when the main window opens, and saves them when it closes.
//
// Use at start-up and exit of the main window:
//
//   RegistryFile registry = RegistryFile::Load(UserRegistryFilePath());
//   DiscoveredLocations found = DiscoverLocations(registry, SystemEnvironment());
//   SwitchOffMissing(found, boxes);
//   RegistryProfile profile(UserRegistryFilePath(), applicationName);
//   SettingsWindow window{boxes, entries, messages, applicationName};
//   LoadSettings(profile, settings, window);
//   ...
//   SaveSettings(profile, settings, window);  // one write of the file
//
// (headers: platform/registry_file.h, platform/registry_location.h,
// platform/environment.h, engine/discover_locations.h,
// settings/registry_profile.h and this one)

#include <string>

#include "settings/clean_settings.h"
#include "settings/entry_list.h"
#include "settings/profile.h"
#include "window/message_box.h"
#include "window/window_controls.h"

// The parts of the main window that the settings are loaded into and saved
// from.
struct SettingsWindow {
  CheckBoxes& boxes;
  EntryList& entries;           // entries.Control() gives the columns
  MessageBox& messages;         // owned by the main window
  std::string applicationName;  // caption of "Couldn't insert entry from registry!"
};

// Reads the options into `settings`, sets the six category boxes, creates
// the list's three columns and inserts the stored entries (each at the
// top, so they show in reverse stored order). Missing values take their
// defaults.
void LoadSettings(Profile& profile, CleanSettings& settings, SettingsWindow& window);

// Writes "Save settings"; when it is on, also every option, toggle, entry
// and column width. Commits the profile once at the end. Entries stored
// under indexes at or above the new count are left alone.
void SaveSettings(Profile& profile, const CleanSettings& settings, SettingsWindow& window);
