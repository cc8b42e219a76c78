#include <QProcess>
#include <QTest>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <optional>
#include <set>
#include <string>

#include "app/testing/as_nobody.h"
#include "platform/posix/registry_location.h"
#include "platform/registry_file.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

constexpr char kProgramKey[] = "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\";

std::string Text(const std::string& name, const std::string& value) {
  return "\"" + name + "\"=\"" + value + "\"\n";
}

std::string Dword(const std::string& name, int value) {
  return "\"" + name + "\"=dword:0000000" + std::to_string(value) + "\n";
}

std::string FileBytes(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  return std::string(std::istreambuf_iterator<char>(in), {});
}

struct Run {
  int status = -1;
  QByteArray out;
  QByteArray err;
};

// The built program as cron would start it: no display, no platform
// plugin named, the test home's environment. As root it runs as nobody
// where nobody can reach it, so that a read-only directory keeps its files
// as it does for a user.
// `output`: a file for standard output instead of a pipe; "" to start the
// program with standard output closed.
Run RunDustral(const ScopedTestHome& home, const QStringList& arguments,
               std::optional<QString> output = std::nullopt) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  for (const char* name : {"DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM"})
    environment.remove(name);
  QProcess dustral;
  dustral.setProcessEnvironment(environment);
  dustral.setWorkingDirectory(QString::fromStdString(home.Path("home")));
  const bool asNobody = CanRunAsNobody(home, DUSTRAL_EXECUTABLE);
  if (asNobody) GiveToNobody(home);
  const bool closeOutput = output && output->isEmpty();
  if (output && !closeOutput) dustral.setStandardOutputFile(*output);
  dustral.setChildProcessModifier([asNobody, closeOutput] {
    if (closeOutput) ::close(STDOUT_FILENO);
    if (asNobody) BecomeNobody();
  });
  dustral.start(QStringLiteral(DUSTRAL_EXECUTABLE), arguments);
  Run run;
  if (!dustral.waitForFinished(30000) || dustral.exitStatus() != QProcess::NormalExit) return run;
  run.status = dustral.exitCode();
  run.out = dustral.readAllStandardOutput();
  run.err = dustral.readAllStandardError();
  return run;
}

// A home with junk in the temporary directory and in two entries: a
// wildcard entry over "junk" with its sub-folders, and one file.
class JunkHome {
 public:
  JunkHome() {
    for (const char* file :
         {"tmp/t.tmp", "tmp/deeper/kept.tmp", "junk/a.tmp", "junk/line\nbreak.tmp",
          "junk/sub/c.tmp", "junk/.hidden.tmp", "junk/keep.txt", "single.dat"})
      WriteTestFile(home.Path(file), "12345");
    fs::create_directories(UserRegistryFilePath().parent_path());
  }

  void WriteSettings(const std::string& options, const std::string& moreEntries = "",
                     int entries = 2) {
    std::ofstream(UserRegistryFilePath(), std::ios::binary)
        << "REGEDIT4\n\n"
        << kProgramKey << "Default Settings]\n"
        << Dword("Number of Items", entries) << options << "\n"
        << kProgramKey << "Entries]\n"
        << Text("00000_FilePath", home.Path("junk")) << Text("00000_WildCard", "*.tmp")
        << Dword("00000_Recurse", 1) << Text("00001_FilePath", home.Path("single.dat"))
        << moreEntries;
  }

  // What a clean deletes: TEMP's own *.tmp, then the rows top first.
  std::set<std::string> Planned() const {
    std::set<std::string> planned;
    for (const char* file :
         {"tmp/t.tmp", "single.dat", "junk/a.tmp", "junk/line\nbreak.tmp", "junk/sub/c.tmp"})
      planned.insert(home.Path(file));
    return planned;
  }

  std::set<std::string> Existing() const {
    std::set<std::string> existing;
    for (const auto& entry : fs::recursive_directory_iterator(home.Root()))
      if (entry.is_regular_file() && entry.path() != UserRegistryFilePath())
        existing.insert(entry.path().string());
    return existing;
  }

  ScopedTestHome home;
};

std::set<std::string> NullSeparated(const QByteArray& bytes) {
  std::set<std::string> paths;
  std::string rest = bytes.toStdString();
  for (std::size_t end; (end = rest.find('\0')) != std::string::npos; rest.erase(0, end + 1))
    paths.insert(rest.substr(0, end));
  return rest.empty() ? paths : std::set<std::string>{"<unterminated: " + rest + ">"};
}

}  // namespace

class CommandLineRunTest : public QObject {
  Q_OBJECT

 private slots:
  void previewListsThePlanAndChangesNothing();
  void cleanDeletesExactlyThePlan();
  void cleanFreesWhatThePreviewShowed_data();
  void cleanFreesWhatThePreviewShowed();
  void failedDeletionsAreNamedAndEndWithOne();
  void lostReportEndsWithOne_data();
  void lostReportEndsWithOne();
  void unreadableSettingsEndWithTwo_data();
  void unreadableSettingsEndWithTwo();
};

void CommandLineRunTest::previewListsThePlanAndChangesNothing() {
  JunkHome junk;
  const std::string afterward = junk.home.Path("after clean.sh");
  WriteTestFile(afterward, "#!/bin/sh\ntouch \"$0.ran\"\n");
  ::chmod(afterward.c_str(), 0755);
  junk.WriteSettings(Dword("Auto-run EXE", 1) + Text("Exe to run", afterward));
  const std::string settings = FileBytes(UserRegistryFilePath());
  const std::set<std::string> before = junk.Existing();

  const Run listed = RunDustral(junk.home, {"--preview", "--null"});
  QCOMPARE(listed.status, 0);
  QCOMPARE(NullSeparated(listed.out), junk.Planned());
  QVERIFY2(listed.err.startsWith("Would delete: 5 files, 25 bytes\nWould spare: 1 hidden, 0 "
                                 "read-only, 0 system\n"),
           listed.err.constData());

  const Run lines = RunDustral(junk.home, {"--preview"});
  QCOMPARE(lines.status, 0);
  QCOMPARE(lines.out.count('\n'), 6);  // five names, one of them holding a newline
  QVERIFY(!lines.err.contains('\r'));  // no progress line into a pipe

  QCOMPARE(junk.Existing(), before);
  QCOMPARE(FileBytes(UserRegistryFilePath()), settings);
  QVERIFY(!fs::exists(afterward + ".ran"));
}

void CommandLineRunTest::cleanDeletesExactlyThePlan() {
  JunkHome junk;
  const std::string afterward = junk.home.Path("after clean.sh");
  WriteTestFile(afterward, "#!/bin/sh\ntouch \"$0.ran\"\n");
  ::chmod(afterward.c_str(), 0755);
  // Auto-clean with quit would end a window at once: the command line
  // cleans all the same, and saves nothing.
  junk.WriteSettings(Dword("Auto-run EXE", 1) + Text("Exe to run", afterward) +
                     Dword("Auto-clean", 1) + Dword("Quit after cleaning", 1));
  const std::string settings = FileBytes(UserRegistryFilePath());
  std::set<std::string> expected = junk.Existing();
  for (const std::string& planned : junk.Planned()) expected.erase(planned);

  const Run cleaned = RunDustral(junk.home, {"--clean"});
  QCOMPARE(cleaned.status, 0);
  // Each category and entry in the order cleaned, then the totals.
  const QByteArray entries = QByteArray("'") + junk.home.Path("junk").c_str() +
                             " (*.tmp), with sub-folders': 3 files deleted, 15 bytes freed, 1 "
                             "left alone\n'" +
                             junk.home.Path("single.dat").c_str() +
                             "': 1 file deleted, 5 bytes freed\n";
  QVERIFY2(cleaned.out.startsWith("Remove Temp Files: 1 file deleted, 5 bytes freed\n" + entries +
                                  "Deleted: 5 files, 25 bytes freed\nSpared: 1 hidden, 0 "
                                  "read-only, 0 system\nFailed: 0\nVanished: 0\n"),
           cleaned.out.constData());
  QCOMPARE(cleaned.err, QByteArray());
  QTRY_VERIFY_WITH_TIMEOUT(fs::exists(afterward + ".ran"), 10000);
  expected.insert(afterward + ".ran");
  QCOMPARE(junk.Existing(), expected);
  QCOMPARE(FileBytes(UserRegistryFilePath()), settings);

  // Without a settings file: the defaults clean TEMP, and no file is made.
  fs::remove(UserRegistryFilePath());
  WriteTestFile(junk.home.Path("tmp/t.tmp"));
  QCOMPARE(RunDustral(junk.home, {"--clean"}).status, 0);
  QVERIFY(!fs::exists(junk.home.Path("tmp/t.tmp")));
  QVERIFY(!fs::exists(UserRegistryFilePath()));
}

void CommandLineRunTest::cleanFreesWhatThePreviewShowed_data() {
  QTest::addColumn<QString>("options");
  QTest::newRow("options off") << QString();
  // Files are then removed without a look at their attributes.
  QTest::newRow("every kind allowed")
      << QString::fromStdString(Dword("Del Read-Only Files", 1) + Dword("Del System Files", 1) +
                                Dword("Del Hidden Files", 1));
}

// On a tree nothing changes in between, the clean deletes and frees what
// the preview said it would.
void CommandLineRunTest::cleanFreesWhatThePreviewShowed() {
  QFETCH(QString, options);
  JunkHome junk;
  WriteTestFile(junk.home.Path("junk/big.tmp"), std::string(3000, 'b'));
  WriteTestFile(junk.home.Path("junk/sub/mid.tmp"), std::string(700, 'm'));
  WriteTestFile(junk.home.Path("junk/read-only.tmp"), std::string(11, 'r'));
  ::chmod(junk.home.Path("junk/read-only.tmp").c_str(), 0444);
  junk.WriteSettings(options.toStdString());

  const Run preview = RunDustral(junk.home, {"--preview"});
  QCOMPARE(preview.status, 0);
  const QByteArray shown = preview.err.mid(0, preview.err.indexOf('\n'));
  QVERIFY2(shown.startsWith("Would delete: "), preview.err.constData());
  const Run cleaned = RunDustral(junk.home, {"--clean"});
  QCOMPARE(cleaned.status, 0);
  QVERIFY2(cleaned.out.contains("\nDeleted: " + shown.mid(14) + " freed\n"),
           (shown + "\n" + cleaned.out).constData());
}

void CommandLineRunTest::failedDeletionsAreNamedAndEndWithOne() {
  JunkHome junk;
  if (::geteuid() == 0 && !CanRunAsNobody(junk.home, DUSTRAL_EXECUTABLE))
    QSKIP("Runs as root, and the user nobody can't reach the build tree: nothing refuses root");
  const std::string locked = junk.home.Path("locked/odd\nname.tmp");
  WriteTestFile(locked);
  junk.WriteSettings(
      "", Text("00002_FilePath", junk.home.Path("locked")) + Text("00002_WildCard", "*.tmp"), 3);
  ::chmod(junk.home.Path("locked").c_str(), 0555);

  const Run cleaned = RunDustral(junk.home, {"--clean"});
  QCOMPARE(cleaned.status, 1);
  const QByteArray line = QByteArray("dustral: cannot delete '") +
                          junk.home.Path("locked/odd\\nname.tmp").c_str() +
                          "': Permission denied\n";
  QCOMPARE(cleaned.err, line);
  QVERIFY(cleaned.out.contains("\nFailed: 1\n"));
  QVERIFY2(cleaned.out.contains(QByteArray("'") + junk.home.Path("locked").c_str() +
                                " (*.tmp), with sub-folders': nothing deleted, 1 failed\n"),
           cleaned.out.constData());
  QVERIFY(fs::exists(locked));
  for (const std::string& planned : junk.Planned()) QVERIFY(!fs::exists(planned));
}

void CommandLineRunTest::lostReportEndsWithOne_data() {
  QTest::addColumn<QString>("output");
  QTest::newRow("full") << QStringLiteral("/dev/full");
  QTest::newRow("closed") << QString();
}

void CommandLineRunTest::lostReportEndsWithOne() {
  QFETCH(QString, output);
  JunkHome junk;
  junk.WriteSettings("");
  const Run cleaned = RunDustral(junk.home, {"--clean"}, output);
  QCOMPARE(cleaned.status, 1);
  QVERIFY2(cleaned.err.startsWith("dustral: cannot write the report: "), cleaned.err.constData());
  for (const std::string& planned : junk.Planned()) QVERIFY(!fs::exists(planned));
}

void CommandLineRunTest::unreadableSettingsEndWithTwo_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<bool>("danglingLink");  // else a directory in the file's place
  QTest::addColumn<QString>("why");
  for (const char* option : {"--clean", "--preview"}) {
    QTest::addRow("%s, a directory", option)
        << QStringList{option} << false << "not a regular file";
    // A link whose target is gone (a dot-file folder not mounted yet).
    QTest::addRow("%s, a dangling link", option)
        << QStringList{option} << true << "dangling symbolic link";
  }
}

// A settings file that is there but can't be read is no reason to clean by
// the defaults instead.
void CommandLineRunTest::unreadableSettingsEndWithTwo() {
  QFETCH(QStringList, arguments);
  QFETCH(bool, danglingLink);
  QFETCH(QString, why);
  JunkHome junk;
  if (danglingLink) {
    fs::create_directories(UserRegistryFilePath().parent_path());
    fs::create_symlink(junk.home.Path("dotfiles/registry.reg"), UserRegistryFilePath());
  } else {
    fs::create_directories(UserRegistryFilePath());
  }
  const std::set<std::string> before = junk.Existing();

  const Run run = RunDustral(junk.home, arguments);
  QCOMPARE(run.status, 2);
  QCOMPARE(run.err, QByteArray("dustral: cannot read the settings file '") +
                        UserRegistryFilePath().c_str() + "': " + why.toUtf8() + "\n");
  QCOMPARE(run.out, QByteArray());
  QCOMPARE(junk.Existing(), before);
}

QTEST_GUILESS_MAIN(CommandLineRunTest)
#include "command_line_run_test.moc"
