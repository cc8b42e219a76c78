#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "engine/file_list.h"
#include "engine/sweep.h"
#include "engine/testing/fake_file_system.h"
#include "engine/testing/system_path.h"

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

std::vector<std::string> Paths(const FileList& list) { return {list.begin(), list.end()}; }

// The same rules against an in-memory file system, where the listing order
// and failures are under the test's control.
class SweepOrderTest : public testing::Test {
 protected:
  FakeFileSystem files;
  FileList list;
};

TEST_F(SweepOrderTest, FollowsTheListingOrderAndReadsEachDirectoryOnce) {
  files.AddFile(SystemPath("/d/z.tmp"));
  files.AddFile(SystemPath("/d/first/x.tmp"));
  files.AddFile(SystemPath("/d/a.tmp"));
  files.AddFile(SystemPath("/d/first/deeper/y.tmp"));
  files.AddFile(SystemPath("/d/second/w.tmp"));
  files.AddFile(SystemPath("/d/first/v.tmp"));

  SweepDirectory(files, list, SystemPath("/d"), "/*.tmp", 1);
  EXPECT_THAT(Paths(list), ElementsAreArray(SystemPaths({"/d/z.tmp", "/d/a.tmp", "/d/first/x.tmp",
                                                         "/d/first/v.tmp", "/d/first/deeper/y.tmp",
                                                         "/d/second/w.tmp"})));
  EXPECT_THAT(files.calls, ElementsAre("OpenDirectory " + SystemPath("/d"),
                                       "OpenSubdirectory " + SystemPath("/d/first"),
                                       "OpenSubdirectory " + SystemPath("/d/first/deeper"),
                                       "OpenSubdirectory " + SystemPath("/d/second")));
}

TEST_F(SweepOrderTest, DeepTreeKeepsItsOrderWithFewDirectoriesOpen) {
  // Each level holds a file, a way deeper and then a branch that is only
  // taken on the way back up.
  std::vector<std::string> expected;
  std::vector<std::string> branches;
  std::string level = "/d";
  for (int depth = 0; depth < 300; ++depth, level += "/deeper") {
    files.AddFile(SystemPath(level + "/f.tmp"));
    files.AddDirectory(SystemPath(level + "/deeper"));
    files.AddFile(SystemPath(level + "/branch/b.tmp"));
    expected.push_back(SystemPath(level + "/f.tmp"));
    branches.push_back(SystemPath(level + "/branch/b.tmp"));
  }
  expected.insert(expected.end(), branches.rbegin(), branches.rend());
  SweepDirectory(files, list, SystemPath("/d"), "/*.tmp", 1);
  EXPECT_EQ(Paths(list), expected);
  EXPECT_LE(files.mostOpenDirectories, 20);
}

TEST_F(SweepOrderTest, OtherFileSystemsMountedInsideAreNeverEntered) {
  files.AddFile(SystemPath("/d/a.tmp"));
  files.AddFile(SystemPath("/d/mnt/b.tmp"));
  files.AddFile(SystemPath("/d/sub/c.tmp"));
  files.MountAt(SystemPath("/d/mnt"));
  SweepDirectory(files, list, SystemPath("/d"), "/*.tmp", 1);
  SweepDirectory(files, list, SystemPath("/d/mnt"), "/*.tmp", 1);  // a mount point may be the start
  EXPECT_THAT(Paths(list),
              ElementsAreArray(SystemPaths({"/d/a.tmp", "/d/sub/c.tmp", "/d/mnt/b.tmp"})));
}

TEST_F(SweepOrderTest, UnreadableSubdirectoryIsPassedOverAndItsSiblingsAreNot) {
  files.AddFile(SystemPath("/d/locked/a.tmp"));
  files.AddFile(SystemPath("/d/open/b.tmp"));
  files.unreadable.insert(SystemPath("/d/locked"));
  SweepDirectory(files, list, SystemPath("/d"), "/*.tmp", 1);
  EXPECT_THAT(Paths(list), ElementsAre(SystemPath("/d/open/b.tmp")));
}

TEST_F(SweepOrderTest, EachPathKeepsTheDirectoryItWasListedIn) {
  files.AddFile(SystemPath("/d/a.tmp"));
  files.AddFile(SystemPath("/d/sub/b.tmp"));
  files.AddFile(SystemPath("/d/c.tmp"));
  SweepDirectory(files, list, SystemPath("/d"), "/*.tmp", 1);
  list.Append(SystemPath("/named/by/the/user"));
  ASSERT_THAT(Paths(list), ElementsAreArray(SystemPaths(
                               {"/d/a.tmp", "/d/c.tmp", "/d/sub/b.tmp", "/named/by/the/user"})));
  EXPECT_EQ(list.ListedInAt(0), files.IdentityOf(SystemPath("/d")));
  EXPECT_EQ(list.ListedInAt(1), files.IdentityOf(SystemPath("/d")));
  EXPECT_EQ(list.ListedInAt(2), files.IdentityOf(SystemPath("/d/sub")));
  EXPECT_EQ(list.ListedInAt(3), std::nullopt);
}

TEST_F(SweepOrderTest, EmptyDirectoryStandsForTheRoot) {
  // What a wildcard entry for SystemPath("/") becomes once its trailing separator is gone.
  files.AddFile(SystemPath("/top.tmp"));
  files.AddFile(SystemPath("/sub/inner.tmp"));
  std::string root = SystemPath("/");
  root.pop_back();
  SweepDirectory(files, list, root, "/*.tmp", 1);
  EXPECT_THAT(Paths(list), ElementsAreArray(SystemPaths({"/top.tmp", "/sub/inner.tmp"})));
}

TEST_F(SweepOrderTest, WildcardNamingAnotherDirectoryMatchesNothing) {
  // Names never hold a separator; gathering d/sub's files as d/NAME would
  // name files that were never found.
  files.AddFile(SystemPath("/d/sub/a.tmp"));
  files.AddFile(SystemPath("/d/a.tmp"));
  SweepDirectory(files, list, SystemPath("/d"), "/sub/*.tmp", 0);
  EXPECT_THAT(Paths(list), IsEmpty());
}

}  // namespace
