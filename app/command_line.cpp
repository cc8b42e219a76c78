#include "app/command_line.h"

namespace {

constexpr char kVersion[] = "1.0b1";

CommandLine Mistake(std::string error) { return {RunMode::kUsageError, true, false, error}; }

// The run mode an option asks for, when it asks for one.
bool IsModeOption(const std::string& argument, RunMode& mode) {
  if (argument == "--preview") {
    mode = RunMode::kPreview;
    return true;
  }
  if (argument == "--clean") {
    mode = RunMode::kClean;
    return true;
  }
  return false;
}

bool IsKnownOption(const std::string& name) {
  for (const char* known :
       {"--help", "--version", "--no-autoclean", "--preview", "--clean", "--null", "--notify"})
    if (name == known) return true;
  return false;
}

// Options and arguments that fit no case: the message names the first.
CommandLine Unrecognized(const std::string& argument, bool afterOptions) {
  const std::size_t equals = argument.find('=');
  if (!afterOptions && argument.starts_with("--") && equals != std::string::npos &&
      IsKnownOption(argument.substr(0, equals)))
    return Mistake("option '" + argument.substr(0, equals) + "' doesn't allow an argument");
  const bool option = !afterOptions && argument.size() > 1 && argument[0] == '-';
  return Mistake(option ? "unrecognized option '" + argument + "'"
                        : "unexpected argument '" + argument + "'");
}

}  // namespace

CommandLine ParseCommandLine(const std::vector<std::string>& arguments) {
  CommandLine line;
  bool afterOptions = false;  // after "--" every argument is a plain one
  for (const std::string& argument : arguments) {
    RunMode mode = RunMode::kWindow;
    if (afterOptions) return Unrecognized(argument, true);
    if (argument == "--") {
      afterOptions = true;
    } else if (argument == "--help" || argument == "-h") {
      return {RunMode::kHelp, line.autoCleanAllowed, false, ""};
    } else if (argument == "--version" || argument == "-V") {
      return {RunMode::kVersion, line.autoCleanAllowed, false, ""};
    } else if (argument == "--no-autoclean") {
      line.autoCleanAllowed = false;
    } else if (argument == "--null") {
      line.nullSeparated = true;
    } else if (argument == "--notify") {
      line.notify = true;
    } else if (IsModeOption(argument, mode)) {
      if (line.mode != RunMode::kWindow && line.mode != mode)
        return Mistake("options '--preview' and '--clean' exclude each other");
      line.mode = mode;
    } else {
      return Unrecognized(argument, false);
    }
  }
  if (line.nullSeparated && line.mode != RunMode::kPreview)
    return Mistake("option '--null' goes with '--preview' only");
  if (line.notify && line.mode != RunMode::kClean)
    return Mistake("option '--notify' goes with '--clean' only");
  if (!line.autoCleanAllowed && line.mode != RunMode::kWindow)
    return Mistake("option '--no-autoclean' goes with the window only");
  return line;
}

std::string UsageText(const std::string& programName) {
  return "Usage: " + programName +
         " [OPTION]...\n"
         "Remove junk files: temporary files, browser caches, recent-document\n"
         "shortcuts, the trash and the files you list.\n"
         "Without an option the window opens.\n"
         "\n"
         "  --no-autoclean  open the window without the clean at start-up, even\n"
         "                  when the options ask for one\n"
         "  --preview       print the files that a clean with the saved settings\n"
         "                  would delete, one per line, and a summary on standard\n"
         "                  error; delete nothing\n"
         "  --null          with --preview: end each file name with a NUL byte\n"
         "                  instead of a newline (for xargs -0 and the like)\n"
         "  --clean         run the saved clean without a window: delete the\n"
         "                  files, empty the trash and start the program after\n"
         "                  cleaning as the options say, then print a report on\n"
         "                  standard output; errors go to standard error\n"
         "  --notify        with --clean: also show the result as a desktop\n"
         "                  notification (where the desktop offers them)\n"
         "  -h, --help      show this help and exit\n"
         "  -V, --version   show the version and exit\n"
         "\n"
         "--preview and --clean need no display and never change the settings.\n"
         "A file that changed after it was found is not deleted.\n"
         "\n"
         "Exit status:\n"
         " 0  success: every file found was deleted, spared by an option, gone\n"
         "    already, or left alone because it changed after it was found\n"
         " 1  some file could not be deleted (or the window could not start)\n"
         " 2  wrong usage, or the settings file could not be read\n";
}

std::string UsageHint(const std::string& programName) {
  return "Try '" + programName + " --help'.\n";
}

std::string VersionText() { return std::string("Dustral ") + kVersion + "\n"; }
