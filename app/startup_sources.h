#pragma once

#include <memory>
#include <string>

#include "platform/registry.h"
#include "platform/user_registry.h"
#include "session/cleaner_session.h"
#include "settings/registry_profile.h"

// What every start of the program reads from: the user's registry (read
// once, here), other programs' folders as the system answers them, the
// program's own profile in that registry and the environment. The window,
// the unattended start and the command line each load them this way.
class StartupSources {
 public:
  explicit StartupSources(std::string applicationName);
  StartupSources(const StartupSources&) = delete;
  StartupSources& operator=(const StartupSources&) = delete;

  // The registry the profile reads and writes; Unreadable() says whether
  // the settings could be read.
  const UserRegistry& Registry() const { return *registry_; }
  RegistryProfile& Profile() { return profile_; }
  const RegistryStrings& OtherPrograms() const { return *otherPrograms_; }
  const std::string& ApplicationName() const { return applicationName_; }

  // The sources as a session takes them.
  SessionSources ForSession();

 private:
  std::string applicationName_;
  std::unique_ptr<UserRegistry> registry_;
  std::unique_ptr<RegistryStrings> otherPrograms_;
  RegistryProfile profile_;
};
