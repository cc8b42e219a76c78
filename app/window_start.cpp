#include "app/window_start.h"

#include <iostream>

#include "app/command_line.h"
#include "app/display_check.h"
#include "app/window_module_loader.h"
#include "platform/environment.h"

// The window lives in a module that loads Qt; without a display the toolkit
// would abort, so that is asked first.
int OpenWindow(const std::filesystem::path& executable, const std::string& programName,
               StartupSources& sources, bool autoCleanAllowed, int argc, char** argv) {
  if (!NamesADisplay(SystemEnvironment())) {
    std::cerr << programName << ": " << kNoDisplayText << '\n';
    return kExitFailure;
  }
  return RunWindowModule(executable, programName, sources, autoCleanAllowed, argc, argv);
}

OutputStreams PrepareProcess() { return {}; }
