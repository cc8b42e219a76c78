#include <QApplication>
#include <QTest>
#include <QTimer>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <optional>
#include <string>
#include <vector>

#include "app/cleaner_app.h"
#include "app/command_line_run.h"
#include "app/startup_sources.h"
#include "app/unattended_start.h"
#include "platform/platform_services.h"
#include "platform/posix/registry_location.h"
#include "testing/scoped_test_home.h"
#include "ui/help_viewer.h"
#include "ui/main_window.h"
#include "ui/testing/fake_ui_services.h"

namespace fs = std::filesystem;

namespace {

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

void WriteBytes(const fs::path& path, const std::string& bytes) {
  fs::create_directories(path.parent_path());
  std::ofstream(path, std::ios::binary) << bytes;
}

}  // namespace

// An unattended start (auto-clean and quit) runs without the window; what
// it saves must be what the window, started on the same settings, saves.
class UnattendedStartTest : public QObject {
  Q_OBJECT

 private slots:
  void savesWhatTheWindowSaves_data();
  void savesWhatTheWindowSaves();
  void leavesTheStartToTheWindowWithoutQuit();
  void previewListsWhatTheWindowsPreviewShows();
};

void UnattendedStartTest::savesWhatTheWindowSaves_data() {
  QTest::addColumn<QString>("options");
  // Ticks stored as other numbers than 0 and 1, odd column widths, a row
  // without its recursion, a name that isn't UTF-8, a count beyond the
  // stored rows and values beyond the count, other programs' keys.
  QTest::newRow("saving") << "\"Recent Clear\"=dword:00000002\n\"Netscape Clear\"=dword:0\n"
                             "\"List Field 2\"=dword:00000000\n\"List Field 3\"=dword:4d\n";
  QTest::newRow("not saving") << "\"Save settings\"=dword:00000000\n";
  // Widths outside what a column can show: the window's header would widen
  // the one and refuse the other.
  QTest::newRow("odd widths")
      << "\"List Field 1\"=dword:00000014\n\"List Field 2\"=dword:7fffffff\n"
         "\"List Field 3\"=dword:ffffffff\n";
}

void UnattendedStartTest::savesWhatTheWindowSaves() {
  QFETCH(QString, options);
  ScopedTestHome home;
  const std::string key = "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\";
  const std::string settings =
      "REGEDIT4\n\n; kept as it is\n[HKEY_CURRENT_USER\\Software\\Other]\n\"x\"=\"y\"\n\n" + key +
      "Default Settings]\n\"Auto-clean\"=dword:00000001\n\"Quit after cleaning\"=dword:1\n"
      "\"Number of Items\"=dword:00000004\n" +
      options.toStdString() + "\n" + key + "Entries]\n\"00000_FilePath\"=\"" + home.Path("logs") +
      "\"\n\"00000_WildCard\"=\"*.log\"\n\"00001_FilePath\"=\"" + home.Path("caf\xe9.dat") +
      "\"\n\"00002_FilePath\"=\"" + home.Path("logs/") +
      "\"\n\"00002_WildCard\"=\"*.old\"\n\"00002_Recurse\"=dword:00000000\n"
      "\"00007_FilePath\"=\"stale\"\n";
  const auto prepare = [&] {
    for (const char* file : {"tmp/a.tmp", "logs/x.log", "logs/sub/y.log", "logs/z.old"})
      WriteTestFile(home.Path(file));
    WriteTestFile(home.Path("caf\xe9.dat"));
    WriteBytes(UserRegistryFilePath(), settings);
  };

  prepare();
  StartupSources unattended("dustral");
  QCOMPARE(RunUnattendedStart(unattended), std::optional<int>(0));
  for (const char* gone :
       {"tmp/a.tmp", "logs/x.log", "logs/sub/y.log", "logs/z.old", "caf\xe9.dat"})
    QVERIFY2(!fs::exists(home.Path(gone)), gone);
  const std::string headless = FileBytes(UserRegistryFilePath());

  prepare();
  StartupSources windowed("dustral");
  CCleanerApp window(home.Path("bin/dustral"));
  QCOMPARE(window.InitInstance(windowed), 0);
  QVERIFY(!fs::exists(home.Path("logs/x.log")));
  QCOMPARE(headless, FileBytes(UserRegistryFilePath()));
  if (!options.contains("Save settings")) QVERIFY(headless != settings);
}

void UnattendedStartTest::leavesTheStartToTheWindowWithoutQuit() {
  ScopedTestHome home;
  WriteTestFile(home.Path("tmp/a.tmp"));
  const std::string settings =
      "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Default "
      "Settings]\n\"Auto-clean\"=dword:00000001\n";
  WriteBytes(UserRegistryFilePath(), settings);
  StartupSources sources("dustral");
  QCOMPARE(RunUnattendedStart(sources), std::nullopt);
  QVERIFY(fs::exists(home.Path("tmp/a.tmp")));
  QCOMPARE(FileBytes(UserRegistryFilePath()), settings);

  // The window opens on what the start read, not on a second reading: the
  // file changed meanwhile says no auto-clean, the first reading said yes.
  WriteBytes(UserRegistryFilePath(), "REGEDIT4\n");
  QTimer::singleShot(0, [] {
    for (QWidget* widget : QApplication::topLevelWidgets())
      if (auto* window = qobject_cast<CCleanerDlg*>(widget)) window->OnCancel();
  });
  CCleanerApp window(home.Path("bin/dustral"));
  QCOMPARE(window.InitInstance(sources), 0);
  QVERIFY(!fs::exists(home.Path("tmp/a.tmp")));
}

// --preview and the window's Preview gather on the same settings: the one
// on controls in memory, the other on the window's check boxes and list.
void UnattendedStartTest::previewListsWhatTheWindowsPreviewShows() {
  ScopedTestHome home;
  const std::string key = "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\";
  for (const char* file : {"tmp/a.tmp", "logs/x.log", "logs/sub/y.log", "logs/z.old", "one.dat"})
    WriteTestFile(home.Path(file));
  WriteBytes(UserRegistryFilePath(),
             "REGEDIT4\n\n" + key + "Default Settings]\n\"Number of Items\"=dword:3\n" +
                 "\"Recent Clear\"=dword:2\n\n" + key + "Entries]\n\"00000_FilePath\"=\"" +
                 home.Path("logs") +
                 "\"\n\"00000_WildCard\"=\"*.log\"\n\"00000_Recurse\"=dword:1\n" +
                 "\"00001_FilePath\"=\"" + home.Path("one.dat") + "\"\n\"00002_FilePath\"=\"" +
                 home.Path("logs") + "\"\n\"00002_WildCard\"=\"*.old\"\n");

  const fs::path listed = home.Path("listed");
  std::FILE* out = std::fopen(listed.c_str(), "wb");
  std::FILE* err = std::fopen(home.Path("summary").c_str(), "wb");
  QVERIFY(out && err);
  QCOMPARE(RunPreview(CommandLineRun{"dustral", "dustral", out, err}, /*nullSeparated=*/true), 0);
  std::fclose(out);
  std::fclose(err);
  std::vector<std::string> commandLine;
  const std::string bytes = FileBytes(listed);
  for (std::size_t at = 0, end; (end = bytes.find('\0', at)) != std::string::npos; at = end + 1)
    commandLine.push_back(bytes.substr(at, end - at));

  FakeUiServices ui;
  HelpViewer help(home.Path("dustral.HLP"), "dustral", ui);
  StartupSources sources("dustral");
  CCleanerDlg window(
      MainWindowContext{ui, SystemPlatformServices(), sources.ForSession(), help, false});
  window.OnInitDialog();
  const CleanPlan plan = window.Session().GatherPreview();
  std::vector<std::string> shown;
  for (std::size_t index = 0; index < plan.Count(); ++index)
    if (!plan.MissingAt(index) && plan.SpareAt(index) == SpareReason::kNone)
      shown.push_back(plan.PathAt(index));

  for (const char* file : {"tmp/a.tmp", "logs/x.log", "logs/sub/y.log", "logs/z.old", "one.dat"})
    QVERIFY2(std::find(shown.begin(), shown.end(), home.Path(file)) != shown.end(), file);
  QVERIFY(commandLine == shown);
}

QTEST_MAIN(UnattendedStartTest)
#include "unattended_start_test.moc"
