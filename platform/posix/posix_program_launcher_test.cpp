#include "platform/posix/posix_program_launcher.h"

#include <dirent.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <csignal>
#include <cstdio>
#include <cstdlib>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <sstream>
#include <string>
#include <thread>

#include "platform/descriptor_limit.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

std::string WriteScript(const std::string& path, const std::string& body) {
  WriteTestFile(path, "#!/bin/sh\n" + body);
  ::chmod(path.c_str(), 0755);
  return path;
}

// Waits, a bounded time, for a file to appear; the started process runs on
// its own, so there is nothing else to wait on.
bool AppearsSoon(const std::string& path) {
  for (int i = 0; i < 500; ++i) {
    if (fs::exists(path)) return true;
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
  }
  return false;
}

std::string ReadAll(const std::string& path) {
  std::ifstream in(path);
  std::stringstream text;
  text << in.rdbuf();
  return text.str();
}

class PosixProgramLauncherTest : public testing::Test {
 protected:
  ScopedTestHome home;
};

TEST_F(PosixProgramLauncherTest, StartsAnExecutableWithStreamsOnDevNull) {
  // A strange name: no shell quoting may be involved.
  const std::string script = WriteScript(home.Path("my program -x 'q'.sh"),
                                         "readlink /proc/self/fd/0 > \"$0.tmp\"; echo \"$#\" >> "
                                         "\"$0.tmp\"; mv \"$0.tmp\" \"$0.ran\"\n");
  PosixProgramLauncher launcher(home.Path("no-opener"));
  EXPECT_TRUE(launcher.Open(script));
  ASSERT_TRUE(AppearsSoon(script + ".ran"));
  EXPECT_EQ(ReadAll(script + ".ran"), "/dev/null\n0\n");
}

// When the launcher test below starts this test program, it reports what
// it inherited into the file the variable names and ends before any test
// runs. A shell would not do: it resets some of this itself.
constexpr const char* kProbeVariable = "DUSTRAL_LAUNCH_PROBE";

std::string StatusLine(const std::string& field) {
  std::ifstream status("/proc/self/status");
  for (std::string line; std::getline(status, line);)
    if (line.starts_with(field + ":")) return line;
  return field + ": missing";
}

const bool kReportedInheritance = [] {
  const char* out = std::getenv(kProbeVariable);
  if (!out) return false;
  std::string report = StatusLine("SigBlk") + "\n" + StatusLine("SigIgn") + "\n";
  report += "session " + std::to_string(::getsid(0)) + " group " + std::to_string(::getpgrp()) +
            " pid " + std::to_string(::getpid()) + "\n";
  struct rlimit limit;
  ::getrlimit(RLIMIT_NOFILE, &limit);
  report += "nofile " + std::to_string(limit.rlim_cur) + "\n";
  if (DIR* fds = ::opendir("/proc/self/fd")) {
    while (const dirent* entry = ::readdir(fds)) {
      const int fd = std::atoi(entry->d_name);
      if (entry->d_name[0] != '.' && fd > 2 && fd != ::dirfd(fds))
        report += "open " + std::to_string(fd) + "\n";
    }
    ::closedir(fds);
  }
  std::ofstream(std::string(out) + ".tmp") << report;
  std::rename((std::string(out) + ".tmp").c_str(), out);
  ::_exit(0);
}();

std::string ThisProgram() { return fs::read_symlink("/proc/self/exe").string(); }

// What a started program inherits that it shouldn't: descriptors opened
// without O_CLOEXEC, our session, a blocked and an ignored signal, the
// descriptor limit we raised for ourselves.
TEST_F(PosixProgramLauncherTest, ProgramStartsCleanInASessionOfItsOwn) {
  // Started as so many programs are, with a soft limit of 1,024.
  struct rlimit original, atStart;
  ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &original), 0);
  if (original.rlim_max <= 1024) GTEST_SKIP() << "the hard descriptor limit allows no raise";
  atStart = original;
  atStart.rlim_cur = 1024;
  ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &atStart), 0);
  RaiseDescriptorLimit();
  struct rlimit raised;
  ::getrlimit(RLIMIT_NOFILE, &raised);
  EXPECT_GT(raised.rlim_cur, atStart.rlim_cur);
  const std::string report = home.Path("probe.report");
  home.SetEnv(kProbeVariable, report);
  const int extra = ::open(home.Root().c_str(), O_RDONLY);  // no O_CLOEXEC
  ASSERT_GE(extra, 0);
  ASSERT_EQ(::dup2(extra, 200), 200);
  sigset_t blocked, previousMask;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGUSR1);
  ::pthread_sigmask(SIG_BLOCK, &blocked, &previousMask);
  struct sigaction ignore {
  }, previousAction;
  ignore.sa_handler = SIG_IGN;
  ::sigaction(SIGUSR2, &ignore, &previousAction);

  PosixProgramLauncher launcher(home.Path("no-opener"));
  const bool started = launcher.Open(ThisProgram());

  ::sigaction(SIGUSR2, &previousAction, nullptr);
  ::pthread_sigmask(SIG_SETMASK, &previousMask, nullptr);
  ::close(extra);
  ::close(200);
  ::setrlimit(RLIMIT_NOFILE, &original);
  EXPECT_TRUE(started);
  ASSERT_TRUE(AppearsSoon(report));

  std::istringstream lines(ReadAll(report));
  std::string blockedLine, ignoredLine, word;
  std::getline(lines, blockedLine);
  std::getline(lines, ignoredLine);
  EXPECT_EQ(blockedLine, "SigBlk:\t0000000000000000");
  EXPECT_EQ(ignoredLine, "SigIgn:\t0000000000000000");
  pid_t session = 0, group = 0, pid = 0;
  lines >> word >> session >> word >> group >> word >> pid;
  EXPECT_NE(session, ::getsid(0));
  EXPECT_EQ(group, session);  // in the group of the new session's leader
  EXPECT_NE(pid, session);    // but not the leader: no terminal can become its own
  rlim_t softLimit = 0;
  lines >> word >> softLimit;
  EXPECT_EQ(softLimit, atStart.rlim_cur);
  std::string rest((std::istreambuf_iterator<char>(lines)), {});
  EXPECT_EQ(rest, "\n") << "inherited descriptors:" << rest;
}

TEST_F(PosixProgramLauncherTest, ReturnsWithoutWaitingForTheProgram) {
  // The program finishes only after the test has seen Open return.
  const std::string script = WriteScript(
      home.Path("waits.sh"),
      "i=0; while [ ! -e \"$0.go\" ] && [ $i -lt 500 ]; do sleep 0.02; i=$((i+1)); done\n"
      "touch \"$0.ran\"\n");
  PosixProgramLauncher launcher(home.Path("no-opener"));
  EXPECT_TRUE(launcher.Open(script));
  EXPECT_FALSE(fs::exists(script + ".ran"));
  WriteTestFile(script + ".go");
  EXPECT_TRUE(AppearsSoon(script + ".ran"));
}

TEST_F(PosixProgramLauncherTest, HandsDocumentsToTheOpener) {
  const std::string opener = WriteScript(
      home.Path("bin/opener"), "printf '%s' \"$1\" > \"$0.tmp\"; mv \"$0.tmp\" \"$0.ran\"\n");
  home.SetEnv("PATH", home.Path("bin") + ":/usr/bin:/bin");
  const std::string document = home.Path("notes\nfor me.txt");
  WriteTestFile(document);

  PosixProgramLauncher launcher("opener");
  EXPECT_TRUE(launcher.Open(document));
  ASSERT_TRUE(AppearsSoon(opener + ".ran"));
  EXPECT_EQ(ReadAll(opener + ".ran"), document);
}

TEST_F(PosixProgramLauncherTest, NameThatLooksLikeAnOptionReachesTheOpenerAsAFile) {
  const std::string opener = WriteScript(
      home.Path("opener"), "printf '%s' \"$1\" > \"$0.tmp\"; mv \"$0.tmp\" \"$0.ran\"\n");
  PosixProgramLauncher launcher(opener);
  EXPECT_TRUE(launcher.Open("--help"));
  ASSERT_TRUE(AppearsSoon(opener + ".ran"));
  EXPECT_EQ(ReadAll(opener + ".ran"), "./--help");
}

TEST_F(PosixProgramLauncherTest, NothingToStartIsRefused) {
  home.SetEnv("PATH", home.Path("empty-bin"));
  PosixProgramLauncher launcher("no-such-opener");
  EXPECT_FALSE(launcher.Open(""));
  EXPECT_FALSE(launcher.Open(home.Path("document.txt")));
}

}  // namespace
