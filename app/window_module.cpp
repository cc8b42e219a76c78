#include "app/window_module.h"

#include <QApplication>

#include "app/cleaner_app.h"

extern "C" __attribute__((visibility("default"))) int dustral_run_window(const char* executable,
                                                                         int autoCleanAllowed,
                                                                         int argc, char** argv) {
  QApplication application(argc, argv);
  CCleanerApp program(executable);
  return program.InitInstance(autoCleanAllowed != 0);
}
