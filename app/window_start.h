#pragma once

#include <filesystem>
#include <string>

class StartupSources;

// Opens the main window for a plain start that is not an unattended one,
// on the `sources` the start has already read, and returns the program's
// exit status. Where the window can't open, says why
// in one line on standard error and returns status 1.
int OpenWindow(const std::filesystem::path& executable, const std::string& programName,
               StartupSources& sources, bool autoCleanAllowed, int argc, char** argv);
