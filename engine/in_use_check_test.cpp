#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <tuple>
#include <vector>

#include "engine/clean_plan.h"
#include "engine/testing/fake_file_system.h"
#include "engine/testing/fake_files_in_use.h"
#include "engine/testing/system_path.h"

namespace {

CleanSettings Allowing(bool all) {
  CleanSettings options;
  options.m_bDelHiddenFiles = options.m_bDelReadOnlyFiles = options.m_bDelSystemFiles = all;
  return options;
}

// Guarded or not, every option on (files removed unlooked at) or off, and
// directories kept open or not.
class FilesInUseTest : public testing::TestWithParam<std::tuple<bool, bool, std::size_t>> {
 protected:
  FilesInUseTest() {
    files_.directoryBudget = std::get<2>(GetParam());
    for (const std::string& path : SystemPaths({"/t/a.tmp", "/t/open.tmp", "/t/.open-hidden.tmp",
                                                "/t/b.tmp", "/t/sub/mapped.tmp", "/named"}))
      files_.AddFile(path,
                     path.ends_with(".open-hidden.tmp") ? kAttributeHidden : kAttributeNormal);
    inUse_ = std::make_shared<FakeFilesInUse>();
    for (const std::string& path : InUse()) inUse_->files.insert({1, files_.facts.at(path).inode});
    files_.filesInUse = inUse_;
  }

  static std::vector<std::string> InUse() {
    return SystemPaths({"/t/open.tmp", "/t/.open-hidden.tmp", "/t/sub/mapped.tmp", "/named"});
  }

  FakeFileSystem files_;
  std::shared_ptr<FakeFilesInUse> inUse_;
};

TEST_P(FilesInUseTest, FileInUseIsLeftAloneAndCountedApart) {
  const auto [guard, allowAll, budget] = GetParam();
  const CleanSettings options = Allowing(allowAll);
  CleanLocations locations;
  const CleanSelection selection{
      [](ControlId) { return false; },
      locations,
      {{0, SystemPath("/t"), "*.tmp", 1}, {1, SystemPath("/named"), "", 0}}};
  const CleanPlan plan = GatherCleanPlan(selection, options, files_, guard);
  if (guard) {
    std::vector<SpareReason> reasons;
    for (std::size_t index = 0; index < plan.Count(); ++index)
      reasons.push_back(plan.SpareAt(index));
    const SpareReason hidden = allowAll ? SpareReason::kInUse : SpareReason::kHidden;
    EXPECT_THAT(reasons,
                testing::ElementsAre(SpareReason::kNone, SpareReason::kInUse, hidden,
                                     SpareReason::kNone, SpareReason::kInUse, SpareReason::kInUse));
  }
  files_.calls.clear();

  const CleanReport report = ExecuteCleanPlan(plan, options, files_);

  EXPECT_EQ(report.deleted, 2u);
  EXPECT_EQ(report.inUse, allowAll ? 4u : 3u);
  EXPECT_EQ(report.sparedHidden, allowAll ? 0u : 1u);
  EXPECT_EQ(report.failed, 0u);
  for (const std::string& path : InUse()) EXPECT_TRUE(files_.Exists(path)) << path;
  EXPECT_FALSE(files_.Exists(SystemPath("/t/a.tmp")));
  EXPECT_FALSE(files_.Exists(SystemPath("/t/b.tmp")));
  if (!guard && allowAll) {
    // Files removed unlooked at are told by their listed inodes: one look
    // per folder, at its first file, and one at the named file.
    EXPECT_THAT(files_.PathsOf("Status"),
                testing::ElementsAre(SystemPath("/t/a.tmp"), SystemPath("/t/sub/mapped.tmp"),
                                     SystemPath("/named")));
  }
}

INSTANTIATE_TEST_SUITE_P(Plans, FilesInUseTest,
                         testing::Combine(testing::Bool(), testing::Bool(),
                                          testing::Values(std::size_t{0}, std::size_t{100})));

// A file on another device than its folder (mounted over its name, or
// from an overlay's lower layer) is known by its own device.
TEST(FilesInUseOnAnotherDeviceTest, FileIsKnownByItsOwnDevice) {
  for (const std::size_t budget : {0, 100}) {
    FakeFileSystem files;
    files.directoryBudget = budget;
    files.AddFile(SystemPath("/t/a.tmp"));
    files.AddFile(SystemPath("/t/held.tmp"));
    files.facts.at(SystemPath("/t/a.tmp")).device =
        files.facts.at(SystemPath("/t/held.tmp")).device = 7;
    const auto inUse = std::make_shared<FakeFilesInUse>();
    inUse->files.insert({7, files.facts.at(SystemPath("/t/held.tmp")).inode});
    files.filesInUse = inUse;
    CleanLocations locations;
    const CleanSelection selection{
        [](ControlId) { return false; }, locations, {{0, SystemPath("/t"), "*.tmp", 0}}};
    const CleanPlan plan = GatherCleanPlan(selection, Allowing(false), files, /*guard=*/true);
    ASSERT_EQ(plan.Count(), 2u);
    EXPECT_EQ(plan.SpareAt(1), SpareReason::kInUse) << budget;
    const CleanReport report = ExecuteCleanPlan(plan, Allowing(false), files);
    EXPECT_EQ(report.deleted, 1u) << budget;
    EXPECT_EQ(report.changed, 0u) << budget;
    EXPECT_FALSE(files.Exists(SystemPath("/t/a.tmp"))) << budget;
    EXPECT_TRUE(files.Exists(SystemPath("/t/held.tmp"))) << budget;
  }
}

TEST(FilesInUseWithoutFindingTest, NothingFoundLeavesTheRunAsItWas) {
  FakeFileSystem files;
  files.AddFile(SystemPath("/t/a.tmp"));
  files.filesInUse = std::make_shared<FakeFilesInUse>();
  CleanLocations locations;
  const CleanSelection selection{
      [](ControlId) { return false; }, locations, {{0, SystemPath("/t"), "*.tmp", 0}}};
  const CleanPlan plan = GatherCleanPlan(selection, Allowing(true), files, false);
  files.calls.clear();
  EXPECT_EQ(ExecuteCleanPlan(plan, Allowing(true), files).deleted, 1u);
  EXPECT_THAT(files.PathsOf("Status"), testing::IsEmpty());
}

}  // namespace
