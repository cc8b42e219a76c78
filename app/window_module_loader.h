#pragma once

#include <filesystem>
#include <string>

class StartupSources;

// Loads the window module and runs the window (see window_module.h). The
// module is looked for beside the executable (the build tree), then in the
// installed place relative to it (<libdir>/dustral). When it can't be
// loaded, says why on standard error and returns status 1.
int RunWindowModule(const std::filesystem::path& executable, const std::string& programName,
                    StartupSources& sources, bool autoCleanAllowed, int argc, char** argv);
