#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/clean_plan.h"
#include "engine/sweep.h"
#include "platform/posix/posix_file_system.h"
#include "testing/scoped_test_home.h"

// Plans on the real file system through the POSIX backend (permissions,
// hard links), for Linux only.

namespace fs = std::filesystem;
using testing::ElementsAreArray;

namespace {

CleanEntry File(const std::string& path) { return {1, path, "", 0}; }
CleanEntry Wildcard(const std::string& path, const std::string& wildcard, int recurse) {
  return {0, path, wildcard, recurse};
}

CleanSettings Allowing(bool hidden, bool readOnly, bool system) {
  CleanSettings options;
  options.m_bDelHiddenFiles = hidden;
  options.m_bDelReadOnlyFiles = readOnly;
  options.m_bDelSystemFiles = system;
  return options;
}

// More files than are looked at ahead at once, on the real file system:
// each file still meets its own check, and a guarded plan's looks, shared
// between two threads, are each file's own.
TEST(CleanPlanOnDiskTest, ChecksLookedAtAheadAreEachFilesOwn) {
  ScopedTestHome home;
  const std::string tmp = home.Path("many");
  std::vector<std::string> kept;
  for (int number = 0; number < 700; ++number) {
    const std::string name = (number % 11 == 0 ? "." : "") + std::to_string(number) + ".tmp";
    const std::string path = tmp + (number < 350 ? "/a/" : "/b/") + name;
    WriteTestFile(path, std::string(number % 5, 'x'));
    if (number % 7 == 0) ::chmod(path.c_str(), 0444);
    if (number % 7 == 0 || number % 11 == 0) kept.push_back(path);
  }
  PosixFileSystem files;
  CleanLocations locations;
  locations.m_strTmp = tmp;
  const CleanSelection selection{
      [](ControlId box) { return box == ControlId::kTempBox; }, locations, {}};
  const CleanPlan guarded = GatherCleanPlan(selection, CleanSettings(), files, true);
  ASSERT_EQ(guarded.Count(), 700u);
  for (std::size_t index = 0; index < guarded.Count(); ++index) {
    const std::string name = fs::path(guarded.PathAt(index)).filename().string();
    const int number = std::stoi(name.substr(name[0] == '.'));
    EXPECT_EQ(guarded.SizeAt(index), static_cast<std::uint64_t>(number % 5)) << name;
    const SpareReason expected = number % 11 == 0  ? SpareReason::kHidden
                                 : number % 7 == 0 ? SpareReason::kReadOnly
                                                   : SpareReason::kNone;
    EXPECT_EQ(guarded.SpareAt(index), expected) << name;
  }

  const CleanReport report = ExecuteCleanPlan(
      GatherCleanPlan(selection, CleanSettings(), files, false), CleanSettings(), files);
  EXPECT_EQ(report.deleted, 700u - kept.size());
  EXPECT_EQ(report.sparedHidden, 64u);
  EXPECT_EQ(report.sparedReadOnly, kept.size() - 64u);
  for (const std::string& path : kept) EXPECT_TRUE(fs::exists(path)) << path;
}

// The directory-kept calls on the real file system.
TEST(CleanPlanOnDiskTest, KeptDirectoriesFollowTheFilesAndNothingElse) {
  ScopedTestHome home;
  const std::string tmp = home.Path("tmp");
  const std::string outside = home.Path("outside");
  for (const std::string& file : {tmp + "/a.tmp", tmp + "/sub/b.tmp", tmp + "/sub/shared.tmp",
                                  tmp + "/sub/replaced.tmp", tmp + "/sub/grown.tmp"})
    WriteTestFile(file);
  WriteTestFile(outside + "/b.tmp", "precious");
  ASSERT_EQ(::link((tmp + "/sub/shared.tmp").c_str(), (outside + "/shared").c_str()), 0);
  ::chmod((tmp + "/sub/shared.tmp").c_str(), 0444);

  PosixFileSystem files;
  ASSERT_GT(files.DirectoryBudget(), 0u);
  CleanLocations locations;
  locations.m_strTmp = tmp;
  const CleanSelection selection{[](ControlId box) { return box == ControlId::kTempBox; },
                                 locations,
                                 {File(tmp + "/new.tmp")}};
  const CleanPlan plan = GatherCleanPlan(selection, Allowing(0, 1, 0), files, true);
  ASSERT_EQ(plan.Count(), 6u);

  // The swept directory moves and a link to another takes its place; files
  // change meanwhile.
  fs::rename(tmp + "/sub", tmp + "/sub.moved");
  fs::create_directory_symlink(outside, tmp + "/sub");
  fs::rename(tmp + "/sub.moved/b.tmp", tmp + "/sub.moved/replaced.tmp");
  WriteTestFile(tmp + "/sub.moved/grown.tmp", "longer");
  WriteTestFile(tmp + "/new.tmp");

  const CleanReport report = ExecuteCleanPlan(plan, Allowing(0, 1, 0), files);
  EXPECT_EQ(report.deleted, 2u);   // a.tmp, and shared.tmp where it was moved
  EXPECT_EQ(report.changed, 3u);   // replaced, grown, new
  EXPECT_EQ(report.vanished, 1u);  // b.tmp, renamed away
  EXPECT_FALSE(fs::exists(tmp + "/a.tmp"));
  EXPECT_FALSE(fs::exists(tmp + "/sub.moved/shared.tmp"));
  EXPECT_EQ(fs::status(outside + "/shared").permissions(), fs::perms(0444));
  for (const std::string& kept : {tmp + "/sub.moved/replaced.tmp", tmp + "/sub.moved/grown.tmp",
                                  tmp + "/new.tmp", outside + "/b.tmp"})
    EXPECT_TRUE(fs::exists(kept)) << kept;
}

// A plan left open (a preview) keeps its directories out of the next
// plan's budget, and gives them back when it goes.
TEST(CleanPlanOnDiskTest, KeptDirectoriesCountAgainstEveryPlansBudget) {
  ScopedTestHome home;
  for (const char* file : {"t/a.tmp", "t/one/b.tmp", "t/two/c.tmp", "t/two/empty/keep.txt"})
    WriteTestFile(home.Path(file));
  PosixFileSystem files;
  CleanLocations locations;
  const CleanSelection selection{{}, locations, {Wildcard(home.Path("t"), "*.tmp", 1)}};
  const std::size_t budget = files.DirectoryBudget();
  {
    const CleanPlan plan = GatherCleanPlan(selection, CleanSettings(), files, false);
    ASSERT_EQ(plan.Count(), 3u);
    EXPECT_EQ(files.DirectoryBudget(), budget - 3);
  }
  EXPECT_EQ(files.DirectoryBudget(), budget);
}

}  // namespace

// A sweep shared between two threads gives the plan the order one thread
// gives: many sub-directories, below a chain of single ones, some nested,
// some empty, with files at every level; guarded, each file keeps its own
// size.
TEST(CleanPlanOnDiskTest, SharedSweepKeepsTheOrderOfOneThread) {
  ScopedTestHome home;
  const std::string tmp = home.Path("tmp");
  WriteTestFile(tmp + "/top.tmp");
  const std::string wide = tmp + "/only/wide";
  for (int number = 0; number < 60; ++number) {
    const std::string directory = wide + "/d" + std::to_string(number);
    fs::create_directories(directory);
    for (int file = 0; file < number % 4; ++file)
      WriteTestFile(directory + "/" + std::to_string(file) + ".tmp", std::string(number, 'x'));
    if (number % 5 == 0) WriteTestFile(directory + "/n/m/deep.tmp", std::string(number, 'x'));
  }
  PosixFileSystem files;
  FileList oneThread;
  SweepDirectory(files, oneThread, tmp, "/*.tmp", 1);
  ASSERT_EQ(oneThread.Count(), 1u + 90u + 12u);

  CleanLocations locations;
  locations.m_strTmp = tmp;
  // An entry over the same tree adds nothing: each file stays where it was
  // first found, also where the second thread met its folder.
  const CleanSelection selection{[](ControlId box) { return box == ControlId::kTempBox; },
                                 locations,
                                 {Wildcard(tmp, "*.tmp", 1)}};
  for (const bool guard : {false, true}) {
    const CleanPlan plan = GatherCleanPlan(selection, CleanSettings(), files, guard);
    std::vector<std::string> paths;
    for (std::size_t index = 0; index < plan.Count(); ++index) {
      paths.push_back(plan.PathAt(index));
      if (guard) {
        EXPECT_EQ(plan.SizeAt(index), fs::file_size(paths.back())) << paths.back();
      }
    }
    EXPECT_THAT(paths, ElementsAreArray(oneThread.begin(), oneThread.end())) << guard;
  }
}
