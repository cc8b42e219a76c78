#pragma once

#include <ostream>
#include <string>
#include <vector>

#include "platform/environment.h"
#include "platform/platform_services.h"
#include "platform/registry.h"
#include "settings/clean_entry.h"
#include "settings/clean_locations.h"
#include "settings/clean_settings.h"
#include "settings/entry_list.h"
#include "settings/profile.h"
#include "window/memory_controls.h"

// The main window as its start-up leaves it, without a window: the category
// boxes after the discovery of the locations and the loading of the
// settings, the entries as rows, the options. Its steps, sources and order
// are those of the window's start-up, so that whatever runs on it (the
// unattended clean, --clean, --preview) cleans what the window would, and
// saving from it writes what the window's Exit would write.
//
//   RegistryProfile profile(UserRegistryFilePath(), applicationName);
//   HeadlessWindow window(registryFileValues, profile, applicationName, std::cerr);
//   window.OnInitDialog(SystemEnvironment());
class HeadlessWindow {
 public:
  // `registry` is where other programs keep their folders (the registry
  // file's values, as the window is given them); messages go to `messages`.
  HeadlessWindow(const RegistryStrings& registry, Profile& profile, std::string applicationName,
                 std::ostream& messages);
  HeadlessWindow(const HeadlessWindow&) = delete;
  HeadlessWindow& operator=(const HeadlessWindow&) = delete;

  // The window's start-up up to its auto-clean decision: the locations
  // found (categories without one switched off), then the settings loaded.
  void OnInitDialog(const Environment& environment);

  // The window's clean run, with "Quit after cleaning" leaving through
  // OnCancel.
  void OnOK(PlatformServices& platform);
  // The window's Exit: saves the settings as the window would, once.
  void OnCancel();

  const CleanSettings& Settings() const { return settings_; }
  const CleanLocations& Locations() const { return locations_; }
  const CheckBoxes& Boxes() const { return boxes_; }
  // The entries, top row first; rows that can't be read are left out.
  std::vector<CleanEntry> Entries() const;
  bool HasEnded() const { return ended_; }

 private:
  const RegistryStrings& registry_;
  Profile& profile_;
  std::string applicationName_;
  MemoryCheckBoxes boxes_;
  MemoryListControl list_;
  MemoryStatusLine status_;
  NoWaitCursor waitCursor_;
  StreamMessageBox messages_;
  EntryList entries_;
  CleanLocations locations_;
  CleanSettings settings_;
  bool ended_ = false;
};
