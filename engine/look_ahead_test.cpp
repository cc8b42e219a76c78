#include "engine/look_ahead.h"

#include <gtest/gtest.h>
#include <sys/stat.h>

#include <chrono>
#include <string>
#include <thread>

#include "engine/clean_plan.h"
#include "platform/posix/posix_file_system.h"
#include "testing/scoped_test_home.h"

// Many more files than the window holds, taken slowly now and then so
// that the second thread fills the window and waits: every look handed out
// is still its own file's, never a later file's that took its place.
TEST(LookAheadTest, EachLookIsItsOwnFilesThroughAWindowFarSmallerThanThePlan) {
  ScopedTestHome home;
  const std::string tmp = home.Path("many");
  for (int number = 0; number < 300; ++number) {
    const std::string path =
        tmp + "/" + std::to_string(number % 3) + "/" + std::to_string(number) + ".tmp";
    WriteTestFile(path);
    if (number % 7 == 0) ::chmod(path.c_str(), 0444);
  }
  PosixFileSystem files;
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
    struct stat status;
    ASSERT_EQ(::lstat(path.c_str(), &status), 0) << path;
    const FileStatus* looked = ahead.Take(file);
    ASSERT_NE(looked, nullptr) << path;
    EXPECT_EQ(looked->inode, static_cast<std::uint64_t>(status.st_ino)) << path;
    const int number = std::stoi(path.substr(path.rfind('/') + 1));
    EXPECT_EQ((looked->attributes & kAttributeReadOnly) != 0, number % 7 == 0) << path;
    ahead.Done(file);
  }
}
