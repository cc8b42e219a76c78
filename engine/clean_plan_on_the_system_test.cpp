#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

#include "engine/clean_plan.h"
#include "engine/sweep.h"
#include "platform/platform_services.h"
#include "settings/testing/clean_inputs.h"
#include "testing/scoped_test_home.h"

// Plans on the real file system through the system's own backend, on
// Linux and Windows alike.

namespace fs = std::filesystem;
using testing::ElementsAreArray;

namespace {

// A plan left open (a preview) keeps its directories out of the next
// plan's budget, and gives them back when it goes.
TEST(CleanPlanOnTheSystemTest, KeptDirectoriesCountAgainstEveryPlansBudget) {
  ScopedTestHome home;
  for (const char* file : {"t/a.tmp", "t/one/b.tmp", "t/two/c.tmp", "t/two/empty/keep.txt"})
    WriteTestFile(home.Path(file));
  FileSystem& files = SystemPlatformServices().files;
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

// A sweep shared between two threads gives the plan the order one thread
// gives: many sub-directories, below a chain of single ones, some nested,
// some empty, with files at every level; guarded, each file keeps its own
// size.
TEST(CleanPlanOnTheSystemTest, SharedSweepKeepsTheOrderOfOneThread) {
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
  FileSystem& files = SystemPlatformServices().files;
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

}  // namespace
