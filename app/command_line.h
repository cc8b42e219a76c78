#pragma once

#include <string>
#include <vector>

// What the program was asked to do on its command line.
enum class RunMode {
  kWindow,      // open the main window
  kPreview,     // list what a clean with the saved settings would delete
  kClean,       // run the saved clean without a window
  kHelp,        // print the usage and end
  kVersion,     // print the version and end
  kUsageError,  // print `error`, then UsageHint, and end with status 2
};

struct CommandLine {
  RunMode mode = RunMode::kWindow;
  // Off with --no-autoclean: the window opens without the start-up clean,
  // the one way back into the options once auto-clean and quit are both on.
  bool autoCleanAllowed = true;
  // --null: the preview ends each path with a NUL byte instead of a newline.
  bool nullSeparated = false;
  std::string error;  // one line, for kUsageError
  // --notify, with --clean: the result also as a desktop notification.
  bool notify = false;
};

// Exit statuses of the command line.
inline constexpr int kExitSuccess = 0;
inline constexpr int kExitFailure = 1;  // some file could not be deleted
inline constexpr int kExitUsage = 2;    // wrong usage, or unreadable settings

// Reads the arguments that follow the program's name. Options are taken in
// order; the first --help, --version or mistake decides. Options that don't
// go together (--preview with --clean, --null without --preview,
// --notify without --clean, --no-autoclean without the window) are a
// mistake as well.
CommandLine ParseCommandLine(const std::vector<std::string>& arguments);

// The usage text, several lines, naming the program as `programName`.
std::string UsageText(const std::string& programName);

// The line after a usage error, pointing to the usage text:
// "Try 'dustral --help'.".
std::string UsageHint(const std::string& programName);

// One line: the product and its version.
std::string VersionText();
