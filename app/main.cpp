#include <filesystem>
#include <iostream>
#include <optional>
#include <string>
#include <vector>

#include "app/application_paths.h"
#include "app/command_line.h"
#include "app/command_line_run.h"
#include "app/display_check.h"
#include "app/unattended_start.h"
#include "app/window_module_loader.h"
#include "platform/descriptor_limit.h"
#include "platform/environment.h"

namespace {

std::string ProgramName(const char* argv0) {
  const std::string name = argv0 ? std::filesystem::path(argv0).filename().string() : "";
  return name.empty() ? "dustral" : name;
}

}  // namespace

// The program itself holds no toolkit: the command line, --preview, --clean
// and an unattended start run on the standard library alone, with no
// display. Only the window loads its module, and with it Qt.
int main(int argc, char* argv[]) {
  RaiseDescriptorLimit();
  const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  const std::string name = ProgramName(argc > 0 ? argv[0] : nullptr);
  const std::filesystem::path executable = RunningExecutable(argc > 0 ? argv[0] : nullptr);
  CommandLineRun run{name, ApplicationNameOf(executable)};
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
  if (line.autoCleanAllowed)
    if (const std::optional<int> status = RunUnattendedStart(run.applicationName)) return *status;
  if (!NamesADisplay(SystemEnvironment())) {
    std::cerr << name << ": " << kNoDisplayText << '\n';
    return kExitFailure;
  }
  return RunWindowModule(executable, name, line.autoCleanAllowed, argc, argv);
}
