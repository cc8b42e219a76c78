#include "app/startup_sources.h"

#include "platform/environment.h"

StartupSources::StartupSources(std::string applicationName)
    : applicationName_(std::move(applicationName)),
      registry_(OpenUserRegistry()),
      otherPrograms_(OtherProgramsRegistry(*registry_)),
      profile_(*registry_, applicationName_) {}

SessionSources StartupSources::ForSession() {
  return SessionSources{profile_, *otherPrograms_, SystemEnvironment(), applicationName_};
}
