#include <QProcess>
#include <QTest>

#include <fcntl.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/prctl.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "app/testing/as_nobody.h"
#include "platform/posix/registry_location.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

// A second process that holds a file open, or only mapped (its descriptor
// closed once the mapping is made), for as long as this lives.
class Holder {
 public:
  Holder(const std::string& path, bool mappedOnly, bool asNobody) {
    int ready[2];
    if (::pipe(ready) != 0) return;
    pid_ = ::fork();
    if (pid_ == 0) {
      ::close(ready[0]);
      if (asNobody) BecomeNobody();
      // Changing user made it undumpable, which hides its descriptors from
      // that user; a program the user starts is not.
      ::prctl(PR_SET_DUMPABLE, 1);
      const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
      if (fd < 0) ::_exit(112);
      if (mappedOnly) {
        if (::mmap(nullptr, 1, PROT_READ, MAP_SHARED, fd, 0) == MAP_FAILED) ::_exit(113);
        ::close(fd);
      }
      char signal = 'x';
      if (::write(ready[1], &signal, 1) != 1) ::_exit(114);
      for (;;) ::pause();
    }
    ::close(ready[1]);
    char signal = 0;
    holding_ = pid_ > 0 && ::read(ready[0], &signal, 1) == 1;
    ::close(ready[0]);
  }
  ~Holder() {
    if (pid_ <= 0) return;
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  Holder(const Holder&) = delete;
  Holder& operator=(const Holder&) = delete;

  bool Holding() const { return holding_; }

 private:
  pid_t pid_ = -1;
  bool holding_ = false;
};

struct Run {
  int status = -1;
  QByteArray out;
  QByteArray err;
};

Run RunDustral(const ScopedTestHome& home, const QStringList& arguments, bool asNobody) {
  QProcess dustral;
  dustral.setWorkingDirectory(QString::fromStdString(home.Path("home")));
  if (asNobody) dustral.setChildProcessModifier([] { BecomeNobody(); });
  dustral.start(QStringLiteral(DUSTRAL_EXECUTABLE), arguments);
  Run run;
  if (!dustral.waitForFinished(30000) || dustral.exitStatus() != QProcess::NormalExit) return run;
  run.status = dustral.exitCode();
  run.out = dustral.readAllStandardOutput();
  run.err = dustral.readAllStandardError();
  return run;
}

}  // namespace

class FilesInUseRunTest : public QObject {
  Q_OBJECT

 private slots:
  void filesOtherProcessesHoldAreLeftAlone();
};

void FilesInUseRunTest::filesOtherProcessesHoldAreLeftAlone() {
  ScopedTestHome home;
  for (const char* file : {"junk/free.tmp", "junk/open.tmp", "junk/mapped.tmp"})
    WriteTestFile(home.Path(file), "12345");
  fs::create_directories(UserRegistryFilePath().parent_path());
  std::ofstream(UserRegistryFilePath(), std::ios::binary)
      << "REGEDIT4\n\n"
      << "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Default Settings]\n"
      << "\"Number of Items\"=dword:00000001\n\n"
      << "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Entries]\n"
      << "\"00000_FilePath\"=\"" << home.Path("junk") << "\"\n"
      << "\"00000_WildCard\"=\"*.tmp\"\n";
  // As root, the program and the processes holding files run as nobody,
  // so that the program sees the processes as a user's cleaner sees them:
  // only the user's own.
  const bool asNobody = CanRunAsNobody(home, DUSTRAL_EXECUTABLE);
  if (asNobody) GiveToNobody(home);
  const Holder open(home.Path("junk/open.tmp"), false, asNobody);
  const Holder mapped(home.Path("junk/mapped.tmp"), true, asNobody);
  QVERIFY(open.Holding() && mapped.Holding());

  const Run preview = RunDustral(home, {"--preview"}, asNobody);
  QCOMPARE(preview.status, 0);
  QCOMPARE(preview.out, QByteArray(home.Path("junk/free.tmp").c_str()) + "\n");
  QVERIFY2(preview.err.contains("\nIn use: 2\n"), preview.err.constData());

  const Run clean = RunDustral(home, {"--clean"}, asNobody);
  QCOMPARE(clean.status, 0);
  // The entry's own line counts the files in use as left alone.
  QVERIFY2(clean.out.contains(": 1 file deleted, 5 bytes freed, 2 left alone\nDeleted: 1 file,"),
           clean.out.constData());
  QVERIFY2(clean.out.contains("\nFailed: 0\n") && clean.out.contains("\nIn use: 2\n"),
           clean.out.constData());
  QVERIFY(!fs::exists(home.Path("junk/free.tmp")));
  QVERIFY(fs::exists(home.Path("junk/open.tmp")));
  QVERIFY(fs::exists(home.Path("junk/mapped.tmp")));
}

QTEST_GUILESS_MAIN(FilesInUseRunTest)
#include "files_in_use_run_test.moc"
