#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/application_paths.h"
#include "app/command_line.h"
#include "app/command_line_run.h"
#include "app/startup_sources.h"
#include "app/unattended_start.h"
#include "app/window_start.h"
#include "platform/descriptor_limit.h"
#include "platform/program_arguments.h"
#include "platform/terminal.h"

namespace {

// The last part of the name the program was started by. Taken from the
// text itself: the name is UTF-8, which a path made from it would read in
// the local code page on Windows.
std::string ProgramName(const std::vector<std::string>& arguments) {
  if (arguments.empty()) return "dustral";
  const bool backslashSeparates = std::filesystem::path::preferred_separator == '\\';
  const std::string& started = arguments.front();
  const std::size_t last = started.find_last_of(backslashSeparates ? "/\\" : "/");
  const std::string name = last == std::string::npos ? started : started.substr(last + 1);
  return name.empty() ? "dustral" : name;
}

}  // namespace

// The program itself holds no toolkit: the command line, --preview, --clean
// and an unattended start run on the standard library alone, with no
// display. Only the window loads its module, and with it Qt.
//
// On Windows the same main() makes two programs: dustral.exe, the window
// program that Explorer and the Start menu start without a console, and
// dustral.com, its console companion, which cmd.exe and PowerShell find
// first for "dustral", wait for and show the output of; a plain start of
// the companion starts the window program and returns.
int main(int argc, char* argv[]) {
  const OutputStreams streams = PrepareProcess();
  RaiseDescriptorLimit();
  UseUtf8Console();
  const std::vector<std::string> arguments = ProgramArguments(argc, argv);
  const CommandLine line = ParseCommandLine(
      arguments.empty() ? std::vector<std::string>()
                        : std::vector<std::string>(arguments.begin() + 1, arguments.end()));
  const std::string name = ProgramName(arguments);
  const std::filesystem::path executable = RunningExecutable(argc > 0 ? argv[0] : nullptr);
  CommandLineRun run{name, ApplicationNameOf(executable)};
  run.out = streams.out;
  run.err = streams.err;
  run.notify = line.notify;
  switch (line.mode) {
    case RunMode::kHelp:
      std::cout << UsageText(name);
      return kExitSuccess;
    case RunMode::kVersion:
      std::cout << VersionText();
      return kExitSuccess;
    case RunMode::kUsageError:
      std::cerr << name << ": " << line.error << '\n' << UsageHint(name);
      return kExitUsage;
    case RunMode::kPreview:
      return RunPreview(run, line.nullSeparated);
    case RunMode::kClean:
      return RunSavedClean(run);
    case RunMode::kWindow:
      break;
  }
  // Read once: what decides on an unattended start is what the window opens
  // with.
  StartupSources sources(run.applicationName);
  if (line.autoCleanAllowed)
    if (const std::optional<int> status = RunUnattendedStart(sources)) return *status;
  return OpenWindow(executable, name, sources, line.autoCleanAllowed, argc, argv);
}
