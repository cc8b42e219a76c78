#include "app/unattended_start.h"

#include <iostream>

#include "app/command_line.h"
#include "app/startup_sources.h"
#include "platform/platform_services.h"
#include "session/memory_session.h"
#include "settings/settings_store.h"

namespace {

bool AsksForUnattendedStart(const CleanSettings& settings) {
  return settings.m_bAutoClean && settings.m_bQuitAfterCleaning;
}

}  // namespace

std::optional<int> RunUnattendedStart(StartupSources& sources) {
  // Decided on the options alone first, so that a start that opens the
  // window doesn't look for the locations twice.
  CleanSettings stored;
  LoadOptions(sources.Profile(), stored);
  if (!AsksForUnattendedStart(stored)) return std::nullopt;

  MemorySession run(sources.ForSession(), SystemPlatformServices(), std::cerr);
  CleanerSession& session = run.session;
  session.Start();
  if (!AsksForUnattendedStart(session.Settings())) return std::nullopt;
  session.Clean();  // its quit step saves the settings
  return kExitSuccess;
}
