#include <QTest>

#include <filesystem>
#include <fstream>
#include <optional>
#include <string>

#include "app/cleaner_app.h"
#include "app/unattended_start.h"
#include "platform/registry_location.h"
#include "testing/scoped_test_home.h"

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
};

void UnattendedStartTest::savesWhatTheWindowSaves_data() {
  QTest::addColumn<QString>("options");
  // Ticks stored as other numbers than 0 and 1, odd column widths, a row
  // without its recursion, a name that isn't UTF-8, a count beyond the
  // stored rows and values beyond the count, other programs' keys.
  QTest::newRow("saving") << "\"Recent Clear\"=dword:00000002\n\"Netscape Clear\"=dword:0\n"
                             "\"List Field 2\"=dword:00000000\n\"List Field 3\"=dword:4d\n";
  QTest::newRow("not saving") << "\"Save settings\"=dword:00000000\n";
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
  QCOMPARE(RunUnattendedStart("dustral"), std::optional<int>(0));
  for (const char* gone :
       {"tmp/a.tmp", "logs/x.log", "logs/sub/y.log", "logs/z.old", "caf\xe9.dat"})
    QVERIFY2(!fs::exists(home.Path(gone)), gone);
  const std::string headless = FileBytes(UserRegistryFilePath());

  prepare();
  CCleanerApp window(home.Path("bin/dustral"));
  QCOMPARE(window.InitInstance(), 0);
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
  QCOMPARE(RunUnattendedStart("dustral"), std::nullopt);
  QVERIFY(fs::exists(home.Path("tmp/a.tmp")));
  QCOMPARE(FileBytes(UserRegistryFilePath()), settings);
}

QTEST_MAIN(UnattendedStartTest)
#include "unattended_start_test.moc"
