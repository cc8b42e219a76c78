#include <QProcess>
#include <QTest>

#include <sys/stat.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform/posix/registry_file_io.h"
#include "platform/posix/registry_location.h"
#include "platform/registry_file.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

constexpr char kProgramKey[] = "Software\\Orlemont Software\\dustral\\";

std::string Quoted(const std::string& text) { return "\"" + text + "\""; }

std::string Text(const std::string& name, const std::string& value) {
  return Quoted(name) + "=" + Quoted(value) + "\n";
}

std::string Dword(const std::string& name, int value) {
  return Quoted(name) + "=dword:0000000" + std::to_string(value) + "\n";
}

std::string StoredText(const RegistryFile& registry, const std::string& section,
                       const std::string& name) {
  const auto value = registry.QueryValue(RegistryRoot::kCurrentUser, kProgramKey + section, name);
  return value ? std::string(value->data.c_str()) : "<missing>";
}

std::string StoredDword(const RegistryFile& registry, const std::string& section,
                        const std::string& name) {
  const auto value = registry.QueryValue(RegistryRoot::kCurrentUser, kProgramKey + section, name);
  if (!value || value->type != registry_type::kDword) return "<missing>";
  return std::to_string(static_cast<unsigned char>(value->data[0]));
}

}  // namespace

// Runs the built program as cron or a login script would: no display, auto-
// clean and quit after cleaning switched on.
class UnattendedRunTest : public QObject {
  Q_OBJECT

 private slots:
  void cleansSavesAndEndsOnItsOwn();
};

void UnattendedRunTest::cleansSavesAndEndsOnItsOwn() {
  ScopedTestHome home;
  const auto at = [&home](const std::string& relative) { return home.Path(relative); };
  for (const char* file :
       {"recent/old.lnk", "recent/note.txt", "netscape/cache1", "netscape/.keep", "tmp/a.tmp",
        "tmp/deeper/b.tmp", "single file.dat", "logs/x.log", "logs/sub/y.log", "logs/keep.txt"})
    WriteTestFile(at(file));
  const std::string afterward = at("after clean.sh");
  WriteTestFile(afterward, "#!/bin/sh\ntouch \"$0.ran\"\n");
  ::chmod(afterward.c_str(), 0700);

  const std::string program = std::string("[HKEY_CURRENT_USER\\") + kProgramKey;
  fs::create_directories(UserRegistryFilePath().parent_path());
  std::ofstream(UserRegistryFilePath())
      << "REGEDIT4\n\n"
      << "[HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell "
         "Folders]\n"
      << Text("Recent", at("recent")) << "\n"
      << "[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\Cache]\n"
      << Text("Cache Dir", at("netscape")) << "\n"
      << program << "Default Settings]\n"
      << Dword("Auto-clean", 1) << Dword("Quit after cleaning", 1) << Dword("Auto-run EXE", 1)
      << Text("Exe to run", afterward) << Dword("Number of Items", 2) << "\n"
      << program << "Entries]\n"
      << Text("00000_FilePath", at("single file.dat")) << Text("00001_FilePath", at("logs"))
      << Text("00001_WildCard", "*.log") << Dword("00001_Recurse", 1);

  QProcess dustral;
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  // No platform plugin named and no display: the unattended start loads
  // no part of the toolkit.
  environment.remove("QT_QPA_PLATFORM");
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(at("runtime")));
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  fs::create_directory(at("runtime"));
  fs::permissions(at("runtime"), fs::perms::owner_all);
  dustral.setProcessEnvironment(environment);
  dustral.setWorkingDirectory(QString::fromStdString(at("home")));
  dustral.start(QStringLiteral(DUSTRAL_EXECUTABLE), {});
  QVERIFY(dustral.waitForStarted());
  QVERIFY2(dustral.waitForFinished(60000), "the program waited instead of ending");
  QCOMPARE(dustral.exitStatus(), QProcess::NormalExit);
  QCOMPARE(dustral.exitCode(), 0);

  for (const char* gone : {"recent/old.lnk", "netscape/cache1", "tmp/a.tmp", "single file.dat",
                           "logs/x.log", "logs/sub/y.log"})
    QVERIFY2(!fs::exists(at(gone)), gone);
  for (const char* kept :
       {"recent/note.txt", "netscape/.keep", "tmp/deeper/b.tmp", "logs/keep.txt"})
    QVERIFY2(fs::exists(at(kept)), kept);
  QTRY_VERIFY_WITH_TIMEOUT(fs::exists(afterward + ".ran"), 10000);

  // Saved as on Exit: the rows top first, in the stored order.
  const RegistryFile saved = LoadRegistryFile(UserRegistryFilePath());
  QCOMPARE(StoredDword(saved, "Default Settings", "Number of Items"), std::string("2"));
  QCOMPARE(StoredText(saved, "Entries", "00000_FilePath"), at("single file.dat"));
  QCOMPARE(StoredText(saved, "Entries", "00000_WildCard"), std::string("<missing>"));
  QCOMPARE(StoredText(saved, "Entries", "00001_FilePath"), at("logs"));
  QCOMPARE(StoredText(saved, "Entries", "00001_WildCard"), std::string("*.log"));
  QCOMPARE(StoredDword(saved, "Entries", "00001_Recurse"), std::string("1"));
  QCOMPARE(StoredDword(saved, "Default Settings", "Auto-clean"), std::string("1"));
  QCOMPARE(StoredDword(saved, "Default Settings", "List Field 1"), std::string("44"));  // 300
  std::string recent;
  QVERIFY(saved.ReadRegistryString(RegistryRoot::kCurrentUser,
                                   "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
                                   "Shell Folders",
                                   "Recent", recent));
  QCOMPARE(recent, at("recent"));
}

QTEST_GUILESS_MAIN(UnattendedRunTest)
#include "unattended_run_test.moc"
