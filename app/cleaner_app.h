#pragma once

#include <filesystem>
#include <string>

#include "ui/help_viewer.h"
#include "ui/qt_ui_services.h"

class CCleanerDlg;
class StartupSources;

// The program: it names the settings' place in the registry file, runs the
// main window modally and ends when that window closes. It also owns Help:
// F1 in any of its windows and the options dialog's Help button end here.
// Needs the QApplication to exist.
class CCleanerApp {
 public:
  explicit CCleanerApp(const std::filesystem::path& executable);
  ~CCleanerApp();
  CCleanerApp(const CCleanerApp&) = delete;
  CCleanerApp& operator=(const CCleanerApp&) = delete;

  // Runs the whole program on the start-up `sources`; returns the process's
  // exit status. Without `autoCleanAllowed` the window opens without the
  // start-up clean.
  int InitInstance(StartupSources& sources, bool autoCleanAllowed = true);

  // Opens the help file at its contents, above whichever window of the
  // program is in front.
  void OnHelp();
  // F1: opens the help at the section about `window` (where it was pressed).
  void OnHelpKey(QWidget* window);

  const std::string& ApplicationName() const { return applicationName_; }

 private:
  std::string applicationName_;
  QtUiServices ui_;
  HelpViewer help_;
  CCleanerDlg* mainWindow_ = nullptr;  // while InitInstance runs it
};
