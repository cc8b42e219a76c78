#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/clean_plan.h"
#include "platform/posix/posix_file_system.h"
#include "settings/testing/clean_inputs.h"
#include "testing/scoped_test_home.h"

// Plans on the real file system through the POSIX backend (permissions,
// hard links), for Linux only.

namespace fs = std::filesystem;

namespace {

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

}  // namespace
