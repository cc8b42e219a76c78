#include "engine/folder_claims.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

namespace {

using ::testing::ElementsAreArray;

struct FolderAt {
  std::size_t files;
  bool repeated = false;  // its directory comes again in the plan
  bool named = false;     // one file the user named
};

CleanPlan::Data PlanOf(const std::vector<FolderAt>& folders) {
  CleanPlan::Data plan;
  for (const FolderAt& at : folders) {
    CleanPlan::Data::Folder& folder = plan.folders.emplace_back();
    folder.repeated = at.repeated;
    folder.named = at.named;
    folder.firstFile = plan.nameAt.size();
    plan.nameAt.resize(plan.nameAt.size() + at.files);
  }
  return plan;
}

TEST(FolderClaimsTest, KeepsRepeatedDirectoriesAndHandsOutTheRest) {
  struct Case {
    const char* what;
    std::vector<FolderAt> folders;
    std::vector<std::size_t> taken;  // the folders Take gives, in order
    bool worthSharing;
  };
  const Case cases[] = {
      {"all different", {{10}, {10}, {10}}, {0, 1, 2}, true},
      {"one met twice", {{10, true}, {10}, {10, true}, {10}}, {1, 3}, true},
      {"a named file", {{1, false, true}, {10}, {10}}, {1, 2}, true},
      {"one folder holds nearly all", {{100}, {10}, {10}}, {0, 1, 2}, false},
      {"the kept hold nearly all", {{50, true}, {10}, {50, true}}, {1}, false},
      {"no files", {{0}, {0}}, {0, 1}, false},
  };
  for (const Case& c : cases) {
    const CleanPlan::Data plan = PlanOf(c.folders);
    FolderClaims claims(plan, plan.folders.size());
    std::vector<std::size_t> taken;
    for (std::size_t folder; (folder = claims.Take()) < plan.folders.size();)
      taken.push_back(folder);
    EXPECT_THAT(taken, ElementsAreArray(c.taken)) << c.what;
    for (std::size_t folder = 0; folder < plan.folders.size(); ++folder)
      EXPECT_EQ(claims.KeptByFirst(folder),
                std::find(c.taken.begin(), c.taken.end(), folder) == c.taken.end())
          << c.what << ", folder " << folder;
    EXPECT_EQ(claims.WorthSharing(), c.worthSharing) << c.what;
  }
}

}  // namespace
