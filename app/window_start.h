#pragma once

#include <cstdio>
#include <filesystem>
#include <string>

class StartupSources;

// Where the command line's output goes (the paths of --preview, the report
// of --clean, their errors).
struct OutputStreams {
  std::FILE* out = stdout;
  std::FILE* err = stderr;
};

// What the system's start of the program leaves to the program itself,
// done first in main(). On Windows: no system message box for a drive
// without a medium (a clean probes every drive), and for the window
// program, which the system starts without a console, somewhere for its
// output. Elsewhere nothing: the standard streams.
OutputStreams PrepareProcess();

// Opens the main window for a plain start that is not an unattended one,
// on the `sources` the start has already read, and returns the program's
// exit status. Where the window can't open, says why
// in one line on standard error and returns status 1.
int OpenWindow(const std::filesystem::path& executable, const std::string& programName,
               StartupSources& sources, bool autoCleanAllowed, int argc, char** argv);
