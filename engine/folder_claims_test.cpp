#include "engine/folder_claims.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <vector>

namespace {

using ::testing::ElementsAreArray;

struct FolderAt {
  std::uint64_t inode;  // of its directory; 0 for a file the user named
  std::size_t files;
};

CleanPlan::Data PlanOf(const std::vector<FolderAt>& folders) {
  CleanPlan::Data plan;
  for (const FolderAt& at : folders) {
    CleanPlan::Data::Folder& folder = plan.folders.emplace_back();
    folder.identity.device = at.inode == 0 ? 0 : 1;
    folder.identity.inode = at.inode;
    folder.firstFile = plan.nameAt.size();
    plan.nameAt.resize(plan.nameAt.size() + at.files);
  }
  return plan;
}

// A directory met twice stays with the first thread, whose files then keep
// their order; the others are taken in order, once each, by whichever
// thread asks.
TEST(FolderClaimsTest, KeepsRepeatedDirectoriesAndHandsOutTheRest) {
  struct Case {
    const char* what;
    std::vector<FolderAt> folders;
    std::vector<std::size_t> taken;  // the folders Take gives, in order
    bool worthSharing;
  };
  const Case cases[] = {
      {"all different", {{5, 10}, {6, 10}, {7, 10}}, {0, 1, 2}, true},
      {"one met twice", {{5, 10}, {6, 10}, {5, 10}, {7, 10}}, {1, 3}, true},
      {"two named files", {{0, 1}, {6, 10}, {0, 1}, {7, 10}}, {1, 3}, true},
      {"one named file", {{0, 1}, {6, 10}, {7, 10}}, {0, 1, 2}, true},
      {"one folder holds nearly all", {{5, 100}, {6, 10}, {7, 10}}, {0, 1, 2}, false},
      {"the kept hold nearly all", {{5, 50}, {6, 10}, {5, 50}}, {1}, false},
      {"no files", {{5, 0}, {6, 0}}, {0, 1}, false},
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
