#pragma once

#include <string>
#include <vector>

// What the program was asked to do on its command line.
enum class RunMode {
  kWindow,      // open the main window
  kHelp,        // print the usage and end
  kVersion,     // print the version and end
  kUsageError,  // print `error`, then the usage, and end with status 2
};

struct CommandLine {
  RunMode mode = RunMode::kWindow;
  // Off with --no-autoclean: the window opens without the start-up clean,
  // the one way back into the options once auto-clean and quit are both on.
  bool autoCleanAllowed = true;
  std::string error;  // one line, for kUsageError
};

// Exit statuses of the command line.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitUsage = 2;

// Reads the arguments that follow the program's name. Options are taken in
// order; the first --help, --version or mistake decides.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text, several lines, naming the program as `programName`.
std::string UsageText(const std::string& programName);

// One line: the product and its version.
std::string VersionText();
