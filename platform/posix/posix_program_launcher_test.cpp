#include "platform/posix/posix_program_launcher.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>
#include <thread>

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
  const std::string script = WriteScript(
      home.Path("my program -x 'q'.sh"),
      "readlink /proc/self/fd/0 > \"$0.tmp\"; echo \"$#\" >> \"$0.tmp\"; mv \"$0.tmp\" \"$0.ran\"\n");
  PosixProgramLauncher launcher(home.Path("no-opener"));
  EXPECT_TRUE(launcher.Open(script));
  ASSERT_TRUE(AppearsSoon(script + ".ran"));
  EXPECT_EQ(ReadAll(script + ".ran"), "/dev/null\n0\n");
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
  const std::string opener = WriteScript(home.Path("bin/opener"),
                                         "printf '%s' \"$1\" > \"$0.tmp\"; mv \"$0.tmp\" \"$0.ran\"\n");
  home.SetEnv("PATH", home.Path("bin") + ":/usr/bin:/bin");
  const std::string document = home.Path("notes\nfor me.txt");
  WriteTestFile(document);

  PosixProgramLauncher launcher("opener");
  EXPECT_TRUE(launcher.Open(document));
  ASSERT_TRUE(AppearsSoon(opener + ".ran"));
  EXPECT_EQ(ReadAll(opener + ".ran"), document);
}

TEST_F(PosixProgramLauncherTest, NameThatLooksLikeAnOptionReachesTheOpenerAsAFile) {
  const std::string opener = WriteScript(home.Path("opener"),
                                         "printf '%s' \"$1\" > \"$0.tmp\"; mv \"$0.tmp\" \"$0.ran\"\n");
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
