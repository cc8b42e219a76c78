#include "app/command_line.h"

namespace {

constexpr char kVersion[] = "1.0b1";

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  for (const std::string& argument : arguments) {
    if (argument == "--help") return {RunMode::kHelp, line.autoCleanAllowed, ""};
    if (argument == "--version") return {RunMode::kVersion, line.autoCleanAllowed, ""};
    if (argument == "--no-autoclean") {
      line.autoCleanAllowed = false;
      continue;
    }
    const bool option = argument.size() > 1 && argument[0] == '-';
    line.mode = RunMode::kUsageError;
    line.error = option ? "unrecognized option '" + argument + "'"
                        : "unexpected argument '" + argument + "'";
    return line;
  }
  return line;
}

std::string UsageText(const std::string& programName) {
  return "Usage: " + programName + " [OPTION]\n"
         "Remove junk files: temporary files, browser caches, recent-document\n"
         "shortcuts, the trash and the files you list.\n"
         "\n"
         "  --no-autoclean  open the window without the clean at start-up, even\n"
         "                  when the options ask for one\n"
         "  --help          show this help and exit\n"
         "  --version       show the version and exit\n"
         "\n"
         "Exit status: 0 when the window was closed, 2 for a wrong option.\n";
}

std::string VersionText() { return std::string("Dustral ") + kVersion + "\n"; }
