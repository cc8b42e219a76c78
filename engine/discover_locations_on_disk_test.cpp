#include <gtest/gtest.h>

#include <string>

#include "engine/discover_locations.h"
#include "platform/posix/registry_file_io.h"
#include "platform/posix/registry_location.h"
#include "platform/registry_file.h"
#include "settings/settings_store.h"
#include "settings/testing/file_profile.h"
#include "testing/recording_controls.h"
#include "testing/scoped_test_home.h"

// The start-up against the POSIX backend's registry file, for Linux only.

namespace {

// The main window's start-up against the user's registry file: discovery
// switches boxes off, and the stored toggles are applied afterwards.
TEST(StartUp, DiscoveryThenSettingsFromTheUserRegistryFile) {
  ScopedTestHome home;
  WriteTestFile(UserRegistryFilePath(),
                "REGEDIT4\n\n"
                "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                "Shell Folders]\n"
                "\"Recent\"=\"/home/u/Recent\"\n\n"
                "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Default Settings]\n"
                "\"Netscape Clear\"=dword:00000001\n"
                "\"Recent Clear\"=dword:00000000\n");
  MemoryCheckBoxes boxes;
  MemoryListControl list;
  ScriptedMessageBox messages;
  EntryList entries(list, messages);
  CleanSettings settings;
  const std::string applicationName = "dustral";

  RegistryFile registry = LoadRegistryFile(UserRegistryFilePath());
  DiscoveredLocations found = DiscoverLocations(registry, SystemEnvironment());
  SwitchOffMissing(found, boxes);
  FileProfile profile(UserRegistryFilePath(), applicationName);
  SettingsWindow window{boxes, entries, messages, applicationName};
  LoadSettings(profile, settings, window);

  EXPECT_EQ(found.locations.m_strRecent, "/home/u/Recent");
  EXPECT_EQ(found.locations.m_strTemp, home.Path("tmp"));
  EXPECT_EQ(found.locations.m_strTmp, "");
  for (const ControlId box :
       {ControlId::kNetscapeBox, ControlId::kIECacheBox, ControlId::kIEHistoryBox})
    EXPECT_FALSE(boxes.IsEnabled(box)) << static_cast<int>(box);
  for (const ControlId box :
       {ControlId::kRecentBox, ControlId::kTempBox, ControlId::kRecycleBinBox})
    EXPECT_TRUE(boxes.IsEnabled(box)) << static_cast<int>(box);
  EXPECT_EQ(boxes.GetCheck(ControlId::kNetscapeBox), 1);
  EXPECT_EQ(boxes.GetCheck(ControlId::kRecentBox), 0);
  EXPECT_EQ(boxes.GetCheck(ControlId::kIECacheBox), 1);
}

}  // namespace
