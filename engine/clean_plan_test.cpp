#include "engine/clean_plan.h"
#include "engine/clean_plan_data.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "engine/sweep.h"
#include "engine/testing/fake_file_system.h"
#include "engine/testing/fake_platform.h"
#include "engine/testing/system_path.h"
#include "settings/testing/clean_inputs.h"

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

std::vector<std::string> Paths(const CleanPlan& plan) {
  std::vector<std::string> paths;
  for (std::size_t index = 0; index < plan.Count(); ++index) paths.push_back(plan.PathAt(index));
  return paths;
}

std::vector<std::string> Labels(const CleanPlan& plan) {
  std::vector<std::string> labels;
  for (const PlanGroup& group : plan.Groups())
    labels.push_back(group.category ? "box " + std::to_string(static_cast<int>(*group.category)) +
                                          (group.label.empty() ? "" : " " + group.label)
                                    : group.label);
  return labels;
}

// Plans on the in-memory file system, with every directory kept open
// (budget) or none.
class CleanPlanTest : public testing::TestWithParam<std::size_t> {
 protected:
  CleanPlanTest() { files_.directoryBudget = GetParam(); }

  CleanPlan Gather(const std::vector<CleanEntry>& entries, bool guard,
                   const CleanSettings& options = {}) {
    const CleanSelection selection{[this](ControlId box) { return ticked_.contains(box); },
                                   locations_, entries};
    return GatherCleanPlan(selection, options, files_, guard,
                           {[this](const std::string& step) { steps_.push_back(step); }, {}});
  }

  FakeFileSystem files_;
  CleanLocations locations_;
  std::set<ControlId> ticked_;
  std::vector<std::string> steps_;
};

TEST_P(CleanPlanTest, PlanHoldsEveryFileInTheRunsOrderWithItsGroup) {
  ticked_ = {ControlId::kTempBox, ControlId::kRecentBox};
  locations_.m_strTemp = SystemPath("/temp");
  locations_.m_strTmp = SystemPath("/tmp2");
  for (const std::string& path :
       SystemPaths({"/tmp2/sub/y.tmp", "/tmp2/x.tmp", "/temp/a.tmp", "/temp/keep.doc",
                    "/logs/a.log", "/logs/old/b.log", "/one/listed"}))
    files_.AddFile(path);
  const CleanPlan plan =
      Gather({File(SystemPath("/one/listed")), Wildcard(SystemPath("/logs/"), "*.log", 1),
              File("relative"), Wildcard("", "*.*", 1), File(SystemPath("/missing"))},
             false);

  EXPECT_THAT(
      Paths(plan),
      ElementsAreArray(SystemPaths({"/temp/a.tmp", "/tmp2/x.tmp", "/tmp2/sub/y.tmp", "/one/listed",
                                    "/logs/a.log", "/logs/old/b.log", "/missing"})));
  const std::string tempBox = "box " + std::to_string(static_cast<int>(ControlId::kTempBox));
  EXPECT_THAT(Labels(plan), ElementsAre(tempBox, SystemPath("/one/listed"),
                                        SystemPath("/logs/") + " (*.log), with sub-folders",
                                        SystemPath("/missing")));
  std::vector<std::size_t> groups;
  for (std::size_t index = 0; index < plan.Count(); ++index) groups.push_back(plan.GroupAt(index));
  EXPECT_THAT(groups, ElementsAre(0, 0, 0, 1, 2, 2, 3));
  std::vector<std::string> folders;
  for (std::size_t group = 0; group < plan.Groups().size(); ++group)
    folders.push_back(plan.GroupFolder(group));
  // TEMP and TMP share only the root.
  EXPECT_THAT(folders, ElementsAreArray(SystemPaths({"/", "/one", "/logs", "/"})));
  EXPECT_THAT(steps_,
              ElementsAre("Searching for temp files...", "Searching for tmp files...",
                          "Searching in " + SystemPath("/logs/") + " for files matching *.log"));
  // Gathering deletes nothing and, unguarded, looks at no file.
  EXPECT_THAT(files_.PathsOf("GetAttributes"), IsEmpty());
  EXPECT_THAT(files_.PathsOf("Status"), IsEmpty());
  EXPECT_THAT(files_.PathsOf("RemoveFile"), IsEmpty());
}

TEST_P(CleanPlanTest, ExecutionDeletesInThePlansOrderAndCountsEveryOutcome) {
  locations_.m_strTmp = SystemPath("/t");
  ticked_ = {ControlId::kTempBox};
  const CleanSettings options = Allowing(0, 1, 0);
  for (const bool guard : {false, true}) {
    SCOPED_TRACE(guard ? "guarded" : "unguarded");
    files_ = FakeFileSystem();
    files_.directoryBudget = GetParam();
    files_.AddFile(SystemPath("/t/a.tmp"));
    files_.AddFile(SystemPath("/t/.hidden.tmp"), kAttributeHidden);
    files_.AddFile(SystemPath("/t/locked.tmp"), kAttributeReadOnly);
    files_.AddFile(SystemPath("/t/sub/pipe.tmp"), kAttributeSystem);
    files_.AddFile(SystemPath("/t/sub/in-use.tmp"), kAttributeReadOnly);
    files_.AddFile(SystemPath("/t/sub/gone.tmp"));
    files_.AddFile(SystemPath("/t/sub/z.tmp"));
    files_.Modify(SystemPath("/t/a.tmp"), 100, 1);
    files_.Modify(SystemPath("/t/sub/z.tmp"), 20, 1);
    files_.Modify(SystemPath("/t/sub/pipe.tmp"), 5, 1);
    files_.refuseRemoval.insert(SystemPath("/t/sub/in-use.tmp"));
    const CleanPlan plan = Gather({}, guard, options);
    ASSERT_EQ(plan.Count(), 7u);
    if (guard) {
      EXPECT_EQ(plan.TotalBytes(), 120u);  // the spared pipe left out
      EXPECT_EQ(plan.SpareAt(3), SpareReason::kSystem);
      EXPECT_EQ(plan.SizeAt(0), 100u);
    }
    files_.RenameOver(SystemPath("/t/sub/gone.tmp"), SystemPath("/t/sub/elsewhere"));
    files_.calls.clear();

    const CleanReport report = ExecuteCleanPlan(plan, options, files_);
    EXPECT_THAT(files_.PathsOf("RemoveFile"),
                ElementsAreArray(SystemPaths(
                    {"/t/a.tmp", "/t/locked.tmp", "/t/sub/in-use.tmp", "/t/sub/z.tmp"})));
    EXPECT_EQ(report.deleted, 3u);
    EXPECT_EQ(report.bytesFreed, guard ? 120u : 0u);
    EXPECT_EQ(report.sparedHidden, 1u);
    EXPECT_EQ(report.sparedReadOnly, 0u);
    EXPECT_EQ(report.sparedSystem, 1u);
    EXPECT_EQ(report.failed, 1u);
    ASSERT_EQ(report.failures.size(), 1u);
    EXPECT_EQ(report.failures[0].path, SystemPath("/t/sub/in-use.tmp"));
    EXPECT_EQ(report.failures[0].reason, std::strerror(EACCES));
    // The failed one has its attributes back.
    EXPECT_EQ(files_.AttributesOf(SystemPath("/t/sub/in-use.tmp")), kAttributeReadOnly);
    EXPECT_EQ(report.vanished, 1u);
    EXPECT_EQ(report.changed, 0u);
  }
}

TEST_P(CleanPlanTest, ExecutionCountsWhatBecameOfEachGroupsFiles) {
  locations_.m_strTmp = SystemPath("/t");
  ticked_ = {ControlId::kTempBox};
  files_.AddFile(SystemPath("/t/a.tmp"));
  files_.AddFile(SystemPath("/t/.hidden.tmp"), kAttributeHidden);
  files_.AddFile(SystemPath("/t/changes.tmp"));
  files_.Modify(SystemPath("/t/a.tmp"), 100, 1);
  files_.AddFile(SystemPath("/one/refused"));
  files_.refuseRemoval.insert(SystemPath("/one/refused"));
  const CleanPlan plan =
      Gather({File(SystemPath("/one/refused")), File(SystemPath("/missing"))}, true);
  files_.Modify(SystemPath("/t/changes.tmp"), 7, 2);

  const CleanReport report = ExecuteCleanPlan(plan, CleanSettings(), files_);
  ASSERT_EQ(report.groups.size(), 3u);
  const auto outcome = [](const CleanReport::GroupOutcome& group) {
    return std::vector<std::uint64_t>{group.deleted, group.bytesFreed, group.leftAlone,
                                      group.failed, group.vanished};
  };
  EXPECT_THAT(outcome(report.groups[0]), ElementsAre(1, 100, 2, 0, 0));
  EXPECT_THAT(outcome(report.groups[1]), ElementsAre(0, 0, 0, 1, 0));
  EXPECT_THAT(outcome(report.groups[2]), ElementsAre(0, 0, 0, 0, 1));
}

struct ChangeCase {
  const char* description;
  std::function<void(FakeFileSystem&)> change;
  std::string kept;
};

void PrintTo(const ChangeCase& c, std::ostream* out) { *out << c.description; }

class ChangedSinceGatheringTest : public testing::TestWithParam<ChangeCase> {};

TEST_P(ChangedSinceGatheringTest, ChangedFileIsNotDeleted) {
  FakeFileSystem files;
  files.directoryBudget = 8;
  files.AddFile(SystemPath("/d/file.tmp"));
  files.AddFile(SystemPath("/d/other"));
  files.AddFile(SystemPath("/d/unchanged.tmp"));
  files.Modify(SystemPath("/d/file.tmp"), 10, 5);
  CleanLocations locations;
  const CleanSelection selection{
      {}, locations, {Wildcard(SystemPath("/d"), "*.tmp", 0), File(SystemPath("/d/entry"))}};
  const CleanPlan plan = GatherCleanPlan(selection, CleanSettings(), files, true);
  ASSERT_EQ(plan.Count(), 3u);
  EXPECT_TRUE(plan.MissingAt(2));

  GetParam().change(files);
  const CleanReport report = ExecuteCleanPlan(plan, CleanSettings(), files);
  EXPECT_EQ(report.changed, 1u);
  EXPECT_FALSE(files.Exists(SystemPath("/d/unchanged.tmp")));
  EXPECT_TRUE(files.Exists(GetParam().kept));
  EXPECT_THAT(files.PathsOf("RemoveFile"), testing::Not(testing::Contains(GetParam().kept)));
}

INSTANTIATE_TEST_SUITE_P(
    Table, ChangedSinceGatheringTest,
    testing::Values(
        ChangeCase{"replaced by another file",
                   [](FakeFileSystem& files) { files.ReplaceFile(SystemPath("/d/file.tmp")); },
                   SystemPath("/d/file.tmp")},
        ChangeCase{"made anew with the freed inode, its size and its time",
                   [](FakeFileSystem& files) { files.Recreate(SystemPath("/d/file.tmp")); },
                   SystemPath("/d/file.tmp")},
        ChangeCase{"grown",
                   [](FakeFileSystem& files) { files.Modify(SystemPath("/d/file.tmp"), 11, 5); },
                   SystemPath("/d/file.tmp")},
        ChangeCase{"written to, same size",
                   [](FakeFileSystem& files) { files.Modify(SystemPath("/d/file.tmp"), 10, 6); },
                   SystemPath("/d/file.tmp")},
        ChangeCase{"renamed over",
                   [](FakeFileSystem& files) {
                     files.RenameOver(SystemPath("/d/other"), SystemPath("/d/file.tmp"));
                   },
                   SystemPath("/d/file.tmp")},
        ChangeCase{"appeared where the entry named nothing",
                   [](FakeFileSystem& files) { files.AddFile(SystemPath("/d/entry")); },
                   SystemPath("/d/entry")}));

// TEMP inside TMP, an entry over a category's folder, a file named before
// and after its folder is swept, a folder reached by two roads: each file
// is planned, and deleted, once, where it was found first.
TEST_P(CleanPlanTest, EachFileIsPlannedOnceInItsFirstPlace) {
  ticked_ = {ControlId::kTempBox};
  locations_.m_strTemp = SystemPath("/t/in");
  locations_.m_strTmp = SystemPath("/t");
  for (const std::string& path : SystemPaths(
           {"/t/in/a.tmp", "/t/in/c.log", "/t/b.tmp", "/e/x.log", "/road1/r.tmp", "/road2/r.tmp"}))
    files_.AddFile(path);
  files_.identities[SystemPath("/road2")] = files_.IdentityOf(SystemPath("/road1"));
  const CleanPlan plan = Gather(
      {File(SystemPath("/t/in/a.tmp")), Wildcard(SystemPath("/t/in"), "*.*", 0),
       File(SystemPath("/e/x.log")), Wildcard(SystemPath("/e"), "*.log", 0),
       Wildcard(SystemPath("/road1"), "*.tmp", 0), Wildcard(SystemPath("/road2"), "*.tmp", 0)},
      true);

  EXPECT_THAT(Paths(plan), ElementsAreArray(SystemPaths({"/t/in/a.tmp", "/t/b.tmp", "/t/in/c.log",
                                                         "/e/x.log", "/road1/r.tmp"})));
  std::vector<std::size_t> groups;
  for (std::size_t index = 0; index < plan.Count(); ++index) groups.push_back(plan.GroupAt(index));
  EXPECT_THAT(groups, ElementsAre(0, 0, 2, 3, 5));
  // Every folder of a directory met twice is marked, so that one deleting
  // thread takes them all: /t/in (TEMP, inside TMP, an entry), /e (a named
  // file, its folder swept), /road1 and /road2; /t alone is met once.
  std::vector<bool> repeated;
  for (const auto& folder : plan.data().folders) repeated.push_back(folder.repeated);
  EXPECT_THAT(repeated, ElementsAre(true, false, true, true, true, true, true, true));
  const CleanReport report = ExecuteCleanPlan(plan, CleanSettings(), files_);
  EXPECT_EQ(report.deleted, 5u);
  EXPECT_EQ(report.vanished, 0u);
}

// With its box ticked, the bin's files come after all others, each bin
// folder a group, and go by the bin's rules: the options play no part,
// read-only is refused, "desktop.ini" anywhere in the path is spared
// unlisted, and the trash forgets each file deleted. A file trashed after
// the plan was made stays; a failed deletion is a failure.
TEST_P(CleanPlanTest, BinsFilesComeLastAndGoByTheBinsRules) {
  ticked_ = {ControlId::kTempBox, ControlId::kRecycleBinBox};
  locations_.m_strTemp = SystemPath("/temp");
  files_.AddFile(SystemPath("/temp/a.tmp"));
  files_.AddFile(SystemPath("/first/files/old"), kAttributeSystem);
  files_.AddFile(SystemPath("/first/files/desktop.ini"));
  files_.AddFile(SystemPath("/first/files/locked"), kAttributeReadOnly);
  files_.AddFile(SystemPath("/first/files/.hidden"), kAttributeHidden);
  files_.AddFile(SystemPath("/second/files/busy"));
  files_.refuseRemoval.insert(SystemPath("/second/files/busy"));
  files_.Modify(SystemPath("/first/files/old"), 7, 1);
  FakeTrashFolders trash;
  trash.bins = SystemPaths({"/first/files", "/second/files"});
  for (const std::string& bin : trash.bins) trash.verified[bin] = files_.IdentityOf(bin);
  CleanSelection selection{[this](ControlId box) { return ticked_.contains(box); }, locations_, {}};
  selection.trash = &trash;
  const CleanPlan plan = GatherCleanPlan(selection, CleanSettings(), files_, true);

  EXPECT_THAT(
      Paths(plan),
      ElementsAreArray(SystemPaths({"/temp/a.tmp", "/first/files/old", "/first/files/locked",
                                    "/first/files/.hidden", "/second/files/busy"})));
  EXPECT_THAT(Labels(plan), ElementsAre("box 1005", "box 1028 " + SystemPath("/first/files"),
                                        "box 1028 " + SystemPath("/second/files")));
  EXPECT_EQ(plan.SpareAt(2), SpareReason::kReadOnly);
  EXPECT_EQ(plan.SpareAt(3), SpareReason::kNone);
  EXPECT_EQ(plan.TotalBytes(), 7u);

  files_.AddFile(SystemPath("/first/files/trashed-since"));
  std::vector<std::string> removedBeforeTheBin;
  const CleanReport report = ExecuteCleanPlan(plan, CleanSettings(), files_, {}, [&] {
    removedBeforeTheBin = files_.PathsOf("RemoveFile");
  });
  EXPECT_THAT(removedBeforeTheBin, ElementsAre(SystemPath("/temp/a.tmp")));
  EXPECT_EQ(report.deleted, 3u);
  EXPECT_EQ(report.bytesFreed, 7u);
  EXPECT_EQ(report.sparedReadOnly, 1u);
  EXPECT_EQ(report.failed, 1u);
  EXPECT_THAT(trash.forgotten, ElementsAre(testing::Pair(SystemPath("/first/files"), "old"),
                                           testing::Pair(SystemPath("/first/files"), ".hidden")));
  for (const std::string& kept : SystemPaths({"/first/files/desktop.ini", "/first/files/locked",
                                              "/first/files/trashed-since", "/second/files/busy"}))
    EXPECT_TRUE(files_.Exists(kept)) << kept;
}

TEST_P(CleanPlanTest, SkippedAttributeCheckGivesTheSameResult) {
  // Everything allowed: no option could spare a file, so a swept file is
  // removed without a look first. An individual entry still gets its look.
  ticked_ = {ControlId::kTempBox};
  locations_.m_strTmp = SystemPath("/t");
  const auto makeTree = [this] {
    files_ = FakeFileSystem();
    files_.directoryBudget = GetParam();
    files_.AddFile(SystemPath("/t/plain.tmp"));
    files_.AddFile(SystemPath("/t/.dot.tmp"), kAttributeHidden);
    files_.AddFile(SystemPath("/t/locked.tmp"), kAttributeReadOnly);
    files_.AddFile(SystemPath("/t/pipe.tmp"), kAttributeSystem);
    files_.AddFile(SystemPath("/t/in-use.tmp"));
    files_.AddFile(SystemPath("/t/now-a-folder.tmp"));
    files_.AddFile(SystemPath("/t/gone.tmp"));
    files_.refuseRemoval.insert(SystemPath("/t/in-use.tmp"));
    files_.AddDirectory(SystemPath("/named-folder"));
  };
  std::vector<CleanReport> reports;
  std::vector<std::vector<std::string>> kept;
  for (const CleanSettings& options : {Allowing(1, 1, 1), Allowing(0, 1, 1)}) {
    makeTree();
    const CleanPlan plan = Gather({File(SystemPath("/named-folder"))}, false, options);
    files_.nodes[SystemPath("/t/now-a-folder.tmp")] = kAttributeDirectory;
    files_.identities[SystemPath("/t/now-a-folder.tmp")] = {9, 9};
    files_.nodes.erase(SystemPath("/t/gone.tmp"));
    files_.calls.clear();
    reports.push_back(ExecuteCleanPlan(plan, options, files_));
    kept.emplace_back();
    for (const auto& [path, attributes] : files_.nodes) kept.back().push_back(path);
    if (options.m_bDelHiddenFiles) {
      EXPECT_THAT(files_.PathsOf("GetAttributes"),
                  ElementsAreArray(SystemPaths(
                      {"/t/in-use.tmp", "/t/now-a-folder.tmp", "/t/gone.tmp", "/named-folder"})));
    }
  }
  // Hidden files spared in the second run only; all else the same.
  EXPECT_EQ(reports[1].sparedHidden, 1u);
  EXPECT_EQ(reports[0].deleted, reports[1].deleted + 1);
  for (const CleanReport& report : reports) {
    EXPECT_EQ(report.failed, 1u);
    EXPECT_EQ(report.vanished, 3u);  // the folder where a file was, the gone one, the named folder
    EXPECT_EQ(report.sparedReadOnly + report.sparedSystem, 0u);
  }
  kept[1].erase(std::find(kept[1].begin(), kept[1].end(), SystemPath("/t/.dot.tmp")));
  EXPECT_EQ(kept[0], kept[1]);
}

TEST_P(CleanPlanTest, DirectoriesBeyondTheBudgetAreReachedByPathAndChecked) {
  ticked_ = {ControlId::kTempBox};
  locations_.m_strTmp = SystemPath("/t");
  const std::vector<std::string> paths =
      SystemPaths({"/t/a.tmp", "/t/one/b.tmp", "/t/one/x/y/e.tmp", "/t/two/c.tmp", "/t/two/z/f.tmp",
                   "/t/three/d.tmp"});
  for (const std::string& path : paths) files_.AddFile(path);
  files_.AddDirectory(SystemPath("/t/one/x/empty"));
  const CleanPlan plan = Gather({}, false);
  EXPECT_THAT(Paths(plan), ElementsAreArray(paths));
  // The kept directories stay open with the plan; no more than the budget.
  EXPECT_EQ(files_.openDirectories, static_cast<int>(std::min<std::size_t>(GetParam(), 6)));

  files_.ReplaceDirectory(SystemPath("/t/two"));
  const CleanReport report = ExecuteCleanPlan(plan, CleanSettings(), files_);
  EXPECT_EQ(report.deleted, 5u);
  EXPECT_EQ(report.vanished, 1u);
  EXPECT_TRUE(files_.Exists(SystemPath("/t/two/c.tmp")));
  EXPECT_THAT(files_.PathsOf("RemoveFile"),
              ElementsAreArray(SystemPaths({"/t/a.tmp", "/t/one/b.tmp", "/t/one/x/y/e.tmp",
                                            "/t/two/z/f.tmp", "/t/three/d.tmp"})));
}

INSTANTIATE_TEST_SUITE_P(Budget, CleanPlanTest, testing::Values(0, 2, 100),
                         [](const testing::TestParamInfo<std::size_t>& info) {
                           return "Keeping" + std::to_string(info.param);
                         });

}  // namespace
