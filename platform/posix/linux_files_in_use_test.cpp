#include "platform/posix/linux_files_in_use.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include "testing/scoped_test_home.h"

namespace {

TEST(LinuxFilesInUseTest, AnotherProcesssFileCountsAndThisProcesssOwnDoesNot) {
  ScopedTestHome home;
  WriteTestFile(home.Path("theirs.tmp"));
  WriteTestFile(home.Path("mapped.tmp"));
  WriteTestFile(home.Path("ours.tmp"));
  struct stat theirs {
  }, mapped{}, ours{};
  ASSERT_EQ(::stat(home.Path("theirs.tmp").c_str(), &theirs), 0);
  ASSERT_EQ(::stat(home.Path("mapped.tmp").c_str(), &mapped), 0);
  ASSERT_EQ(::stat(home.Path("ours.tmp").c_str(), &ours), 0);
  const int own = ::open(home.Path("ours.tmp").c_str(), O_RDONLY | O_CLOEXEC);
  ASSERT_GE(own, 0);
  int ready[2];
  ASSERT_EQ(::pipe(ready), 0);
  const pid_t holder = ::fork();
  if (holder == 0) {
    ::close(own);
    // One file held open, one only mapped (its descriptor closed).
    const int map = ::open(home.Path("mapped.tmp").c_str(), O_RDONLY);
    if (map < 0 || ::mmap(nullptr, 1, PROT_READ, MAP_PRIVATE, map, 0) == MAP_FAILED ||
        ::close(map) != 0 || ::open(home.Path("theirs.tmp").c_str(), O_RDONLY) < 0 ||
        ::write(ready[1], "x", 1) != 1)
      ::_exit(1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char signal = 0;
  ASSERT_EQ(::read(ready[0], &signal, 1), 1);
  ::close(ready[0]);

  LinuxFilesInUse found;
  EXPECT_TRUE(found.Has(theirs.st_dev, theirs.st_ino));
  EXPECT_TRUE(found.Has(mapped.st_dev, mapped.st_ino));
  EXPECT_FALSE(found.Has(ours.st_dev, ours.st_ino));
  EXPECT_TRUE(found.AnyOn(theirs.st_dev));

  ::kill(holder, SIGKILL);
  ::waitpid(holder, nullptr, 0);
  ::close(own);
}

}  // namespace
