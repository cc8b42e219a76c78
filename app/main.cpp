#include <QApplication>
#include <QFile>

#include <filesystem>
#include <iostream>
#include <string>
#include <vector>

#include "app/cleaner_app.h"
#include "app/command_line.h"

namespace {

std::string ProgramName(const char* argv0) {
  const std::string name = argv0 ? std::filesystem::path(argv0).filename().string() : "";
  return name.empty() ? "dustral" : name;
}

}  // namespace

int main(int argc, char* argv[]) {
  // Read before Qt starts, so that --help, --version and mistakes need no
  // display.
  const CommandLine line = ParseCommandLine(std::vector<std::string>(argv + 1, argv + argc));
  const std::string name = ProgramName(argc > 0 ? argv[0] : nullptr);
  switch (line.mode) {
    case RunMode::kHelp:
      std::cout << UsageText(name);
      return kExitSuccess;
    case RunMode::kVersion:
      std::cout << VersionText();
      return kExitSuccess;
    case RunMode::kUsageError:
      std::cerr << name << ": " << line.error << '\n' << UsageText(name);
      return kExitUsage;
    case RunMode::kWindow:
      break;
  }

  QApplication application(argc, argv);
  CCleanerApp program(QFile::encodeName(QApplication::applicationFilePath()).toStdString());
  return program.InitInstance(line.autoCleanAllowed);
}
