#include <iostream>

#include "app/command_line.h"
#include "app/window_start.h"

// The Windows build has the command line and the unattended start; its
// window is not built yet.
int OpenWindow(const std::filesystem::path&, const std::string& programName, StartupSources&, bool,
               int, char**) {
  std::cerr << programName
            << ": the window is not built on Windows yet (--preview and --clean work)\n";
  return kExitFailure;
}
