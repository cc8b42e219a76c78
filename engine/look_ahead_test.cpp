#include "engine/look_ahead.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>

#include "engine/clean_plan.h"
#include "engine/sweep.h"
#include "platform/platform_services.h"
#include "testing/scoped_test_home.h"

namespace {

constexpr auto kNoWrite = std::filesystem::perms::owner_write |
                          std::filesystem::perms::group_write |
                          std::filesystem::perms::others_write;

}  // namespace

// Many more files than the window holds, taken slowly now and then so
// that the second thread fills the window and waits: every look handed out
// is still its own file's, never a later file's that took its place. On the
// system's own file system.
TEST(LookAheadTest, EachLookIsItsOwnFilesThroughAWindowFarSmallerThanThePlan) {
  ScopedTestHome home;
  const std::string tmp = home.Path("many");
  for (int number = 0; number < 300; ++number) {
    const std::string path =
        tmp + "/" + std::to_string(number % 3) + "/" + std::to_string(number) + ".tmp";
    WriteTestFile(path);
    if (number % 7 == 0)
      std::filesystem::permissions(path, kNoWrite, std::filesystem::perm_options::remove);
  }
  FileSystem& files = SystemPlatformServices().files;
  CleanLocations locations;
  locations.m_strTmp = tmp;
  const CleanSelection selection{
      [](ControlId box) { return box == ControlId::kTempBox; }, locations, {}};
  const CleanPlan plan = GatherCleanPlan(selection, CleanSettings(), files, false);
  ASSERT_EQ(plan.Count(), 300u);

  LookAhead ahead(plan.data(), files, 8);
  for (std::size_t file = 0; file < plan.Count(); ++file) {
    if (file % 50 == 0) std::this_thread::sleep_for(std::chrono::milliseconds(5));
    const std::string path = plan.PathAt(file);
    const FileStatus status = files.Status(path);
    ASSERT_EQ(status.error, 0) << path;
    const FileStatus* looked = ahead.Take(file);
    ASSERT_NE(looked, nullptr) << path;
    EXPECT_EQ(looked->inode, status.inode) << path;
    const int number = std::stoi(path.substr(path.find_last_of(kPathSeparators) + 1));
    EXPECT_EQ((looked->attributes & kAttributeReadOnly) != 0, number % 7 == 0) << path;
    ahead.Done(file);
  }
}
