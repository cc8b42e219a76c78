#pragma once

// A main window on a prepared registry file, inside a private test home,
// with scripted message boxes and choosers. Test-only; header-only.

#include <QApplication>
#include <QTest>
#include <QTimer>

#include <filesystem>
#include <fstream>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "platform/platform_services.h"
#include "platform/posix/posix_environment.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_program_launcher.h"
#include "platform/posix/posix_trash_folders.h"
#include "platform/posix/registry_file_io.h"
#include "platform/posix/registry_location.h"
#include "platform/registry_file.h"
#include "settings/testing/file_profile.h"
#include "testing/scoped_test_home.h"
#include "ui/help_viewer.h"
#include "ui/main_window.h"
#include "ui/testing/fake_ui_services.h"

inline constexpr char kRigApplicationName[] = "dustral";

// The key of the program's settings in the registry file.
inline std::string ProgramKey(const std::string& section) {
  return std::string("HKEY_CURRENT_USER\\Software\\Orlemont Software\\") + kRigApplicationName +
         "\\" + section;
}

// Escapes a text for a "..." value of the registry file.
inline std::string RegistryQuoted(const std::string& text) {
  std::string quoted = "\"";
  for (char c : text) {
    if (c == '\\' || c == '"') quoted += '\\';
    quoted += c;
  }
  return quoted + "\"";
}

class MainWindowRig {
 public:
  // `registryText` is written as the registry file (after "REGEDIT4").
  // The help viewer looks for HelpFile(), which no test home holds at first.
  explicit MainWindowRig(const std::string& registryText)
      : MainWindowRig([&](const ScopedTestHome&) { return registryText; }) {}

  // The registry text may name places in the test home.
  explicit MainWindowRig(const std::function<std::string(const ScopedTestHome&)>& registryText) {
    std::filesystem::create_directories(UserRegistryFilePath().parent_path());
    std::ofstream(UserRegistryFilePath()) << "REGEDIT4\n\n" << registryText(home);
    registry_ = std::make_unique<RegistryFile>(LoadRegistryFile(UserRegistryFilePath()));
    profile_ = std::make_unique<FileProfile>(UserRegistryFilePath(), kRigApplicationName);
    help = std::make_unique<HelpViewer>(HelpFile(), kRigApplicationName, ui);
    // Only the trash under the test home's XDG_DATA_HOME can be emptied: the
    // mount table offered holds no disk, so no real trash is ever reached.
    const std::string noMounts = home.Path("mounts");
    std::ofstream{noMounts};
    trash_ = std::make_unique<PosixTrashFolders>(TrashSources{noMounts, std::nullopt, ::getuid()});
    window = std::make_unique<CCleanerDlg>(MainWindowContext{
        ui, PlatformServices{files_, *trash_, launcher_},
        SessionSources{*profile_, *registry_, environment_, kRigApplicationName}, *help});
  }

  // Starts the window as the program does, but shows it without a modal
  // loop of its own, so that the test can drive it.
  void StartShown() {
    window->OnInitDialog();
    window->show();
    QVERIFY(QTest::qWaitForWindowExposed(window.get()));
  }

  // The registry file as it is on disk now.
  std::optional<RegistryValue> Stored(const std::string& section, const std::string& name) const {
    return LoadRegistryFile(UserRegistryFilePath())
        .QueryValue(
            RegistryRoot::kCurrentUser,
            std::string("Software\\Orlemont Software\\") + kRigApplicationName + "\\" + section,
            name);
  }

  std::string HelpFile() const { return home.Path("dustral.HLP"); }

  template <class Widget>
  Widget* Control(int id) const {
    return window->findChild<Widget*>(QStringLiteral("ctl%1").arg(id));
  }

  ScopedTestHome home;  // first: everything below lives inside it
  FakeUiServices ui;
  std::unique_ptr<HelpViewer> help;
  std::unique_ptr<CCleanerDlg> window;

 private:
  std::unique_ptr<RegistryFile> registry_;
  std::unique_ptr<FileProfile> profile_;
  PosixEnvironment environment_;
  PosixFileSystem files_;
  std::unique_ptr<PosixTrashFolders> trash_;
  PosixProgramLauncher launcher_;
};

// Runs `act` on the next window that `find` returns once it is open
// (polled from the event loop, so it works inside a nested modal loop).
// Call before the call that opens it; the flag tells whether it happened.
template <class Window>
std::shared_ptr<bool> WhenOpen(std::function<QWidget*()> find, std::function<void(Window&)> act) {
  auto done = std::make_shared<bool>(false);
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, find, act, done] {
    if (auto* window = qobject_cast<Window*>(find())) {
      timer->stop();
      timer->deleteLater();
      *done = true;
      act(*window);
    }
  });
  timer->start();
  return done;
}

template <class Dialog>
std::shared_ptr<bool> WhenModal(std::function<void(Dialog&)> act) {
  return WhenOpen<Dialog>([] { return QApplication::activeModalWidget(); }, std::move(act));
}

template <class Menu>
std::shared_ptr<bool> WhenPopup(std::function<void(Menu&)> act) {
  return WhenOpen<Menu>([] { return QApplication::activePopupWidget(); }, std::move(act));
}
