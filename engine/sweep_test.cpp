#include "engine/sweep.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/testing/fake_file_system.h"
#include "platform/posix/posix_file_system.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAreArray;

namespace {

std::vector<std::string> Paths(const FileList& list) { return {list.begin(), list.end()}; }

std::string ParentOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

bool IsWithin(const std::string& path, const std::string& directory) {
  return path == directory || path.starts_with(directory + "/");
}

// Checks the order of a recursive sweep without relying on the order in
// which a directory lists its entries: the files of one directory come in
// one run, a directory's files come before those of anything below it, and
// everything below a directory comes in one stretch (each sub-directory is
// finished before the next one is begun).
testing::AssertionResult IsDepthFirstPreOrder(const std::vector<std::string>& paths,
                                              const std::string& root) {
  std::vector<std::string> runs;  // the directory of each run of files
  for (const std::string& path : paths)
    if (runs.empty() || runs.back() != ParentOf(path)) runs.push_back(ParentOf(path));

  for (std::size_t i = 0; i < runs.size(); ++i)
    for (std::size_t j = i + 1; j < runs.size(); ++j) {
      if (runs[i] == runs[j])
        return testing::AssertionFailure() << "files of " << runs[i] << " are split";
      if (IsWithin(runs[i], runs[j]))
        return testing::AssertionFailure() << runs[j] << " comes after " << runs[i] << " below it";
    }

  std::set<std::string> subtrees;
  for (const std::string& run : runs)
    for (std::string directory = run; IsWithin(directory, root) && directory != root;
         directory = ParentOf(directory))
      subtrees.insert(directory);
  for (const std::string& subtree : subtrees) {
    std::vector<std::size_t> inside;
    for (std::size_t i = 0; i < runs.size(); ++i)
      if (IsWithin(runs[i], subtree)) inside.push_back(i);
    if (inside.back() - inside.front() + 1 != inside.size())
      return testing::AssertionFailure() << "what lies below " << subtree << " is interrupted";
  }
  return testing::AssertionSuccess();
}

class SweepTest : public testing::Test {
 protected:
  // Files a.tmp, b.tmp and notes.txt in every directory of a tree three
  // levels deep with three sub-directories each; returns the .tmp files.
  std::vector<std::string> MakeTree(const std::string& directory, int depth) {
    std::vector<std::string> matching;
    for (const char* name : {"a.tmp", "B.TMP", "notes.txt"}) {
      WriteTestFile(directory + "/" + name);
      if (std::string(name) != "notes.txt") matching.push_back(directory + "/" + name);
    }
    if (depth == 0) return matching;
    for (const char* sub : {"one", "two.tmp", "three"}) {
      const auto below = MakeTree(directory + "/" + sub, depth - 1);
      matching.insert(matching.end(), below.begin(), below.end());
    }
    return matching;
  }

  ScopedTestHome home;
  PosixFileSystem files;
  FileList list;
};

TEST_F(SweepTest, WithoutRecursionOnlyTheDirectoryItself) {
  const std::string root = home.Path("tree");
  MakeTree(root, 2);
  SweepDirectory(files, list, root, "/*.tmp", 0);
  EXPECT_THAT(Paths(list), UnorderedElementsAreArray({root + "/a.tmp", root + "/B.TMP"}));
}

TEST_F(SweepTest, WithRecursionEveryLevelDepthFirstOwnFilesFirst) {
  const std::string root = home.Path("tree");
  const auto matching = MakeTree(root, 3);
  SweepDirectory(files, list, root, "/*.tmp", 1);
  // A directory named like a match is descended into, never gathered.
  EXPECT_THAT(Paths(list), UnorderedElementsAreArray(matching));
  EXPECT_TRUE(IsDepthFirstPreOrder(Paths(list), root));
}

TEST_F(SweepTest, EveryNameMatchesAnyExtension) {
  const std::string root = home.Path("tree");
  WriteTestFile(root + "/README");
  WriteTestFile(root + "/.profile");
  fs::create_directory(root + "/sub");
  SweepDirectory(files, list, root, "/*.*", 0);
  EXPECT_THAT(Paths(list), UnorderedElementsAreArray({root + "/README", root + "/.profile"}));
}

TEST_F(SweepTest, MissingDirectoryOrFileGivesNothing) {
  SweepDirectory(files, list, home.Path("missing"), "/*.*", 1);
  WriteTestFile(home.Path("plain.tmp"));
  SweepDirectory(files, list, home.Path("plain.tmp"), "/*.*", 1);
  EXPECT_THAT(Paths(list), IsEmpty());
}

TEST_F(SweepTest, LinksAreGatheredAsFilesAndNeverFollowed) {
  const std::string root = home.Path("tree");
  const std::string outside = home.Path("outside");
  WriteTestFile(outside + "/precious.tmp");
  WriteTestFile(root + "/sub/inner.tmp");
  fs::create_directory_symlink(outside, root + "/out.tmp");
  fs::create_directory_symlink(outside, root + "/out");
  fs::create_directory_symlink(root + "/sub", root + "/sub/loop");
  fs::create_symlink(outside + "/precious.tmp", root + "/file-link.tmp");
  fs::create_symlink(root + "/nowhere", root + "/dangling.tmp");

  SweepDirectory(files, list, root, "/*.tmp", 1);
  EXPECT_THAT(Paths(list),
              UnorderedElementsAreArray({root + "/out.tmp", root + "/file-link.tmp",
                                         root + "/dangling.tmp", root + "/sub/inner.tmp"}));
}

TEST_F(SweepTest, StrangeNamesAreGatheredAsTheyAre) {
  const std::string root = home.Path("tree");
  const std::vector<std::string> names = {
      "with space.tmp", "new\nline.tmp", "-rf.tmp",      "--help.tmp", "back\\slash.tmp",
      "caf\xe9.tmp",    "\xff\xfe.TMP",  "*.tmp",        "?.tmp",      " leading blank.tmp",
      "tab\there.tmp",  "quote\"'.tmp",  "$(echo x).tmp"};
  const std::string oddDirectory = root + "/odd \n\\dir -x";
  std::vector<std::string> expected;
  for (const std::string& name : names) {
    WriteTestFile(root + "/" + name);
    expected.push_back(root + "/" + name);
  }
  WriteTestFile(oddDirectory + "/inner.tmp");
  expected.push_back(oddDirectory + "/inner.tmp");

  SweepDirectory(files, list, root, "/*.tmp", 1);
  EXPECT_THAT(Paths(list), UnorderedElementsAreArray(expected));
}

TEST_F(SweepTest, UnreadableDirectoryIsPassedOver) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every directory";
  const std::string root = home.Path("tree");
  WriteTestFile(root + "/locked/hidden.tmp");
  WriteTestFile(root + "/open/seen.tmp");
  ::chmod((root + "/locked").c_str(), 0);
  SweepDirectory(files, list, root, "/*.tmp", 1);
  EXPECT_THAT(Paths(list), ElementsAre(root + "/open/seen.tmp"));
}

// The same rules against an in-memory file system, where the listing order
// and failures are under the test's control.
class SweepOrderTest : public testing::Test {
 protected:
  FakeFileSystem files;
  FileList list;
};

TEST_F(SweepOrderTest, FollowsTheListingOrderAndReadsEachDirectoryOnce) {
  files.AddFile("/d/z.tmp");
  files.AddFile("/d/first/x.tmp");
  files.AddFile("/d/a.tmp");
  files.AddFile("/d/first/deeper/y.tmp");
  files.AddFile("/d/second/w.tmp");
  files.AddFile("/d/first/v.tmp");

  SweepDirectory(files, list, "/d", "/*.tmp", 1);
  EXPECT_THAT(Paths(list), ElementsAre("/d/z.tmp", "/d/a.tmp", "/d/first/x.tmp", "/d/first/v.tmp",
                                       "/d/first/deeper/y.tmp", "/d/second/w.tmp"));
  EXPECT_THAT(files.calls, ElementsAre("OpenDirectory /d", "OpenSubdirectory /d/first",
                                       "OpenSubdirectory /d/first/deeper",
                                       "OpenSubdirectory /d/second"));
}

TEST_F(SweepOrderTest, UnreadableSubdirectoryIsPassedOverAndItsSiblingsAreNot) {
  files.AddFile("/d/locked/a.tmp");
  files.AddFile("/d/open/b.tmp");
  files.unreadable.insert("/d/locked");
  SweepDirectory(files, list, "/d", "/*.tmp", 1);
  EXPECT_THAT(Paths(list), ElementsAre("/d/open/b.tmp"));
}

TEST_F(SweepOrderTest, EachPathKeepsTheDirectoryItWasListedIn) {
  files.AddFile("/d/a.tmp");
  files.AddFile("/d/sub/b.tmp");
  files.AddFile("/d/c.tmp");
  SweepDirectory(files, list, "/d", "/*.tmp", 1);
  list.Append("/named/by/the/user");
  ASSERT_THAT(Paths(list), ElementsAre("/d/a.tmp", "/d/c.tmp", "/d/sub/b.tmp", "/named/by/the/user"));
  EXPECT_EQ(list.ListedInAt(0), files.IdentityOf("/d"));
  EXPECT_EQ(list.ListedInAt(1), files.IdentityOf("/d"));
  EXPECT_EQ(list.ListedInAt(2), files.IdentityOf("/d/sub"));
  EXPECT_EQ(list.ListedInAt(3), std::nullopt);
}

TEST_F(SweepOrderTest, EmptyDirectoryStandsForTheRoot) {
  // What a wildcard entry for "/" becomes once its trailing separator is gone.
  files.AddFile("/top.tmp");
  files.AddFile("/sub/inner.tmp");
  SweepDirectory(files, list, "", "/*.tmp", 1);
  EXPECT_THAT(Paths(list), ElementsAre("/top.tmp", "/sub/inner.tmp"));
}

TEST_F(SweepOrderTest, WildcardNamingAnotherDirectoryMatchesNothing) {
  // Names never hold a separator; gathering d/sub's files as d/NAME would
  // name files that were never found.
  files.AddFile("/d/sub/a.tmp");
  files.AddFile("/d/a.tmp");
  SweepDirectory(files, list, "/d", "/sub/*.tmp", 0);
  EXPECT_THAT(Paths(list), IsEmpty());
}

}  // namespace
