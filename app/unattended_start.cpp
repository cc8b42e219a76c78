#include "app/unattended_start.h"

#include <iostream>

#include "app/command_line.h"
#include "app/headless_window.h"
#include "platform/environment.h"
#include "platform/platform_services.h"
#include "platform/posix/desktop_registry.h"
#include "platform/registry_file.h"
#include "platform/registry_location.h"
#include "settings/options.h"
#include "settings/registry_profile.h"

namespace {

// The stored value of the option kept in `member`, read as the settings
// store reads it.
int32_t StoredFlag(const Profile& profile, int32_t CleanSettings::*member) {
  for (const Option& option : kOptions)
    if (option.flag == member)
      return profile.GetProfileInt("Default Settings", option.valueName, CleanSettings{}.*member);
  return 0;
}

bool AsksForUnattendedStart(const Profile& profile) {
  return StoredFlag(profile, &CleanSettings::m_bAutoClean) &&
         StoredFlag(profile, &CleanSettings::m_bQuitAfterCleaning);
}

}  // namespace

std::optional<int> RunUnattendedStart(const std::string& applicationName) {
  // Made in the order and from the sources the window's start uses.
  const std::filesystem::path file = UserRegistryFilePath();
  const RegistryFile registryFileValues = RegistryFile::Load(file);
  const DesktopRegistry otherPrograms(registryFileValues);
  RegistryProfile profile(file, applicationName);
  if (!AsksForUnattendedStart(profile)) return std::nullopt;

  HeadlessWindow window(otherPrograms, profile, applicationName, std::cerr);
  window.OnInitDialog(SystemEnvironment());
  // The loaded options decide, as in the window; they are the ones read above.
  if (!window.Settings().m_bAutoClean || !window.Settings().m_bQuitAfterCleaning)
    return std::nullopt;
  PlatformServices platform = SystemPlatformServices();
  window.OnOK(platform);  // its quit step saves the settings
  return kExitSuccess;
}
