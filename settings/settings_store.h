#pragma once

// Loads the options, the category toggles, the list's columns and the
// custom entries when the main window opens, and saves them when it closes.
//
// Use at start-up and exit of the main window (CleanerSession does):
//
//   RegistryProfile profile(userRegistry, applicationName);
//   SettingsWindow window{boxes, entries, messages, applicationName};
//   LoadSettings(profile, settings, window);
//   ...
//   SaveSettings(profile, settings, window);  // one write of the store

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

// Reads the options alone into `settings`, as LoadSettings reads them: for a
// start that must know its options before it has a window.
void LoadOptions(const Profile& profile, CleanSettings& settings);

// Reads the options into `settings`, sets the six category boxes, creates
// the list's three columns and inserts the stored entries (each at the
// bottom, so they show in the stored order). Missing values take their
// defaults.
void LoadSettings(Profile& profile, CleanSettings& settings, SettingsWindow& window);

// Writes "Save settings"; when it is on, also every option, toggle, entry
// and column width. Commits the profile once at the end. Entries stored
// under indexes at or above the new count are left alone.
void SaveSettings(Profile& profile, const CleanSettings& settings, SettingsWindow& window);
