#include <QProcess>
#include <QTest>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "app/clean_notification.h"
#include "platform/posix/registry_location.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

// The built program, run in the test home. Without a display: a window
// (even an attempt at one) would make Qt give up, so a clean exit shows
// that none was opened.
QProcessEnvironment Headless(const ScopedTestHome& home, const char* platform) {
  QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
  environment.insert("QT_QPA_PLATFORM", platform);
  environment.insert("XDG_RUNTIME_DIR", QString::fromStdString(home.Path("runtime")));
  environment.remove("DISPLAY");
  environment.remove("WAYLAND_DISPLAY");
  fs::create_directory(home.Path("runtime"));
  fs::permissions(home.Path("runtime"), fs::perms::owner_all);
  return environment;
}

}  // namespace

class CommandLineTest : public QObject {
  Q_OBJECT

 private slots:
  void answersWithoutOpeningAWindow_data();
  void answersWithoutOpeningAWindow();
  void noAutocleanOpensTheWindowWithoutCleaning();
  void aWindowWithoutADisplayEndsWithOneLine_data();
  void aWindowWithoutADisplayEndsWithOneLine();
  void cleanNowNotifiesTheDesktopWhereItCan();
  void theNotificationSaysWhatWasDeletedAndWhatFailed();
};

void CommandLineTest::answersWithoutOpeningAWindow_data() {
  QTest::addColumn<QStringList>("arguments");
  QTest::addColumn<int>("status");
  QTest::addColumn<QString>("output");       // how standard output starts
  QTest::addColumn<QString>("errorOutput");  // how standard error starts
  QTest::newRow("help") << QStringList{"--help"} << 0 << "Usage: dustral [OPTION]"
                        << "";
  QTest::newRow("help after a switch")
      << QStringList{"--no-autoclean", "--help"} << 0 << "Usage: dustral"
      << "";
  QTest::newRow("version") << QStringList{"--version"} << 0 << "Dustral 1.0b1\n"
                           << "";
  QTest::newRow("-h") << QStringList{"-h"} << 0 << "Usage: dustral [OPTION]"
                      << "";
  QTest::newRow("-V") << QStringList{"-V"} << 0 << "Dustral 1.0b1\n"
                      << "";
  QTest::newRow("unknown option")
      << QStringList{"--bogus", "--help"} << 2 << ""
      << "dustral: unrecognized option '--bogus'\nTry 'dustral --help'.\n";
  QTest::newRow("short option") << QStringList{"-x"} << 2 << ""
                                << "dustral: unrecognized option '-x'\nTry 'dustral --help'.\n";
  QTest::newRow("argument") << QStringList{"notes.txt"} << 2 << ""
                            << "dustral: unexpected argument 'notes.txt'\nTry 'dustral --help'.\n";
  QTest::newRow("null without preview")
      << QStringList{"--null"} << 2 << ""
      << "dustral: option '--null' goes with '--preview' only\nTry 'dustral --help'.\n";
  QTest::newRow("null with clean") << QStringList{"--null", "--clean"} << 2 << ""
                                   << "dustral: option '--null' goes with '--preview' only\n"
                                      "Try 'dustral --help'.\n";
  QTest::newRow("preview and clean")
      << QStringList{"--preview", "--clean"} << 2 << ""
      << "dustral: options '--preview' and '--clean' exclude each other\nTry 'dustral --help'.\n";
  QTest::newRow("option with a value")
      << QStringList{"--clean=now"} << 2 << ""
      << "dustral: option '--clean' doesn't allow an argument\nTry 'dustral --help'.\n";
  QTest::newRow("no-autoclean with clean")
      << QStringList{"--no-autoclean", "--clean"} << 2 << ""
      << "dustral: option '--no-autoclean' goes with the window only\nTry 'dustral --help'.\n";
  QTest::newRow("notify without clean")
      << QStringList{"--preview", "--notify"} << 2 << ""
      << "dustral: option '--notify' goes with '--clean' only\nTry 'dustral --help'.\n";
  QTest::newRow("option after --")
      << QStringList{"--", "--clean"} << 2 << ""
      << "dustral: unexpected argument '--clean'\nTry 'dustral --help'.\n";
}

void CommandLineTest::answersWithoutOpeningAWindow() {
  QFETCH(QStringList, arguments);
  QFETCH(int, status);
  QFETCH(QString, output);
  QFETCH(QString, errorOutput);
  ScopedTestHome home;
  QProcess dustral;
  dustral.setProcessEnvironment(Headless(home, "xcb"));
  dustral.start(QStringLiteral(DUSTRAL_EXECUTABLE), arguments);
  QVERIFY(dustral.waitForFinished(20000));
  const QString out = QString::fromUtf8(dustral.readAllStandardOutput());
  const QString err = QString::fromUtf8(dustral.readAllStandardError());
  QCOMPARE(dustral.exitStatus(), QProcess::NormalExit);
  QCOMPARE(dustral.exitCode(), status);
  QCOMPARE(out.left(output.size()), output);
  QCOMPARE(out.isEmpty(), output.isEmpty());
  QCOMPARE(err.left(errorOutput.size()), errorOutput);
  QCOMPARE(err.isEmpty(), errorOutput.isEmpty());
  if (status == 2) QCOMPARE(err, errorOutput);  // one line and the hint, not the whole help
  if (status == 0 && arguments.contains("--help"))
    for (const char* option : {"--no-autoclean", "--preview", "--null", "--clean", "--version"})
      QVERIFY2(out.contains(option), option);
  QVERIFY(!fs::exists(UserRegistryFilePath()));  // no window, nothing saved
}

// The way back from auto-clean with quit: the window stays open, nothing
// is cleaned.
void CommandLineTest::noAutocleanOpensTheWindowWithoutCleaning() {
  ScopedTestHome home;
  WriteTestFile(home.Path("tmp/junk.tmp"));
  fs::create_directories(UserRegistryFilePath().parent_path());
  std::ofstream(UserRegistryFilePath())
      << "REGEDIT4\n\n[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Default "
         "Settings]\n\"Auto-clean\"=dword:00000001\n\"Quit after cleaning\"=dword:00000001\n";

  QProcess dustral;
  dustral.setProcessEnvironment(Headless(home, "offscreen"));
  dustral.start(QStringLiteral(DUSTRAL_EXECUTABLE), {"--no-autoclean"});
  QVERIFY(dustral.waitForStarted());
  QVERIFY2(!dustral.waitForFinished(1500), "the program ended instead of showing its window");
  QVERIFY(fs::exists(home.Path("tmp/junk.tmp")));
  dustral.kill();
  dustral.waitForFinished();
}

void CommandLineTest::aWindowWithoutADisplayEndsWithOneLine_data() {
  QTest::addColumn<QString>("platform");
  QTest::addColumn<QString>("display");
  QTest::newRow("no display named") << "xcb"
                                    << "";
  QTest::newRow("nothing chosen, no display named") << ""
                                                    << "";
  QTest::newRow("a display that isn't there") << "xcb"
                                              << ":97";
}

// Without a display the toolkit would abort the process (status 134).
void CommandLineTest::aWindowWithoutADisplayEndsWithOneLine() {
  QFETCH(QString, platform);
  QFETCH(QString, display);
  ScopedTestHome home;
  QProcessEnvironment environment = Headless(home, "xcb");
  if (platform.isEmpty()) environment.remove("QT_QPA_PLATFORM");
  if (!display.isEmpty()) environment.insert("DISPLAY", display);
  QProcess dustral;
  dustral.setProcessEnvironment(environment);
  dustral.start(QStringLiteral(DUSTRAL_EXECUTABLE), {});
  QVERIFY(dustral.waitForFinished(20000));
  QCOMPARE(dustral.exitStatus(), QProcess::NormalExit);
  QCOMPARE(dustral.exitCode(), 1);
  QCOMPARE(QString::fromUtf8(dustral.readAllStandardError()),
           QStringLiteral("dustral: cannot open the window: no display (--preview and --clean "
                          "need none)\n"));
  QVERIFY(!fs::exists(UserRegistryFilePath()));
}

// The desktop action "Clean now" runs --clean --notify: the result goes to
// notify-send; without it the clean runs and ends as well as ever.
void CommandLineTest::cleanNowNotifiesTheDesktopWhereItCan() {
  ScopedTestHome home;
  const std::string notified = home.Path("notified");
  WriteTestFile(home.Path("bin/notify-send"), "#!/bin/sh\nprintf '%s\\n' \"$@\" > '" + notified +
                                                  ".part' && /bin/mv '" + notified + ".part' '" +
                                                  notified + "'\n");
  fs::permissions(home.Path("bin/notify-send"), fs::perms::owner_all);
  fs::create_directories(home.Path("empty"));

  for (const std::string& path : {home.Path("bin"), home.Path("empty")}) {
    WriteTestFile(home.Path("tmp/junk.tmp"), "12345");
    QProcessEnvironment environment = Headless(home, "xcb");
    environment.insert("PATH", QString::fromStdString(path));
    QProcess dustral;
    dustral.setProcessEnvironment(environment);
    dustral.start(QStringLiteral(DUSTRAL_EXECUTABLE), {"--clean", "--notify"});
    QVERIFY(dustral.waitForFinished(20000));
    QCOMPARE(dustral.exitCode(), 0);
    QVERIFY(!fs::exists(home.Path("tmp/junk.tmp")));
    QVERIFY(QString::fromUtf8(dustral.readAllStandardOutput()).contains("\nDeleted: 1 file"));
  }
  QTRY_VERIFY(fs::exists(notified));
  std::ifstream shown(notified);
  const std::string text((std::istreambuf_iterator<char>(shown)), {});
  QVERIFY2(
      text.find("Dustral: clean done\nDeleted 1 file, freeing 5 bytes.\n") != std::string::npos,
      text.c_str());
}

void CommandLineTest::theNotificationSaysWhatWasDeletedAndWhatFailed() {
  CleanReport report;
  QCOMPARE(CleanNotificationText(report), std::string("Nothing was deleted."));
  report.deleted = 1234;
  report.bytesFreed = 5119000;
  QCOMPARE(CleanNotificationText(report),
           std::string("Deleted 1,234 files, freeing 5.1 MB (5,119,000 bytes)."));
  report.failed = 3;
  QCOMPARE(CleanNotificationText(report),
           std::string("Deleted 1,234 files, freeing 5.1 MB (5,119,000 bytes). 3 could not be "
                       "deleted (run dustral --clean in a terminal to see why)."));
}

QTEST_GUILESS_MAIN(CommandLineTest)
#include "command_line_test.moc"
