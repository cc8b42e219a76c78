#include "app/window_module.h"

#include <QApplication>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "app/cleaner_app.h"
#include "app/command_line.h"
#include "app/display_check.h"

namespace {

// While the toolkit connects to its display its messages are held back:
// when it can't and gives up (which would abort the process), the one line
// that says why is all the user sees, and the status is that of a failure.
std::string startingProgram;
std::vector<std::string>* heldMessages = nullptr;

void HoldWhileStarting(QtMsgType type, const QMessageLogContext&, const QString& text) {
  if (type == QtFatalMsg) {
    std::fprintf(stderr, "%s: %s\n", startingProgram.c_str(), kNoDisplayText);
    std::_Exit(kExitFailure);
  }
  if (heldMessages) heldMessages->push_back(text.toStdString());
}

}  // namespace

extern "C" __attribute__((visibility("default"))) int dustral_run_window(const char* executable,
                                                                         StartupSources* sources,
                                                                         int autoCleanAllowed,
                                                                         int argc, char** argv) {
  startingProgram = argc > 0 ? std::filesystem::path(argv[0]).filename().string() : "dustral";
  std::vector<std::string> held;
  heldMessages = &held;
  qInstallMessageHandler(HoldWhileStarting);
  QApplication application(argc, argv);
  qInstallMessageHandler(nullptr);
  heldMessages = nullptr;
  for (const std::string& message : held) std::fprintf(stderr, "%s\n", message.c_str());

  CCleanerApp program(executable);
  return program.InitInstance(*sources, autoCleanAllowed != 0);
}
