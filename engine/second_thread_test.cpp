#include "engine/second_thread.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <atomic>
#include <functional>
#include <stdexcept>
#include <stop_token>
#include <string>
#include <thread>
#include <vector>

#include "engine/clean_plan.h"
#include "engine/sweep.h"
#include "engine/testing/fake_file_system.h"
#include "engine/testing/system_path.h"
#include "engine/testing/two_thread_file_system.h"

using testing::ElementsAreArray;

namespace {

TEST(SecondThreadTest, WhatTheTaskThrowsIsThrownByJoin) {
  SecondThread second([](const std::stop_token&) { throw std::runtime_error("lost"); });
  EXPECT_THROW(second.Join(), std::runtime_error);
}

TEST(SecondThreadTest, LeavingWithoutJoiningStopsTheTaskAndDropsItsFailure) {
  std::atomic<bool> stopped{false};
  {
    SecondThread second([&stopped](const std::stop_token& stop) {
      while (!stop.stop_requested()) std::this_thread::yield();
      stopped = true;
      throw std::runtime_error("nobody waits for this");
    });
  }
  EXPECT_TRUE(stopped);
}

// The engine's work shared with a second thread, over the in-memory file
// system: the sweep of many sub-directories, the looks of a guarded plan's
// kept folders, and the looks ahead of the deletions.
struct JunkTree {
  JunkTree() {
    files.directoryBudget = 64;
    files.AddFile(SystemPath("/junk/top.tmp"));
    for (int number = 0; number < 12; ++number) {
      const std::string directory = "/junk/d" + std::to_string(number);
      files.AddDirectory(SystemPath(directory));
      for (int file = 0; file < number % 3; ++file)
        files.AddFile(SystemPath(directory + "/" + std::to_string(file) + ".tmp"));
      if (number % 4 == 0) files.AddFile(SystemPath(directory + "/n/m/deep.tmp"));
    }
  }

  // The whole tree, or (without recursion) two folders of it.
  CleanPlan Gather(bool guard, bool recurse) {
    std::vector<CleanEntry> entries{{0, SystemPath("/junk"), "*.tmp", recurse ? 1 : 0}};
    if (!recurse) entries.push_back({0, SystemPath("/junk/d1"), "*.tmp", 0});
    const CleanLocations none;
    const CleanSelection selection{{}, none, entries};
    return GatherCleanPlan(selection, CleanSettings(), shared, guard);
  }

  FakeFileSystem files;
  TwoThreadFileSystem shared{files};
};

std::vector<std::string> Paths(const CleanPlan& plan) {
  std::vector<std::string> paths;
  for (std::size_t index = 0; index < plan.Count(); ++index) paths.push_back(plan.PathAt(index));
  return paths;
}

TEST(SharedWorkTest, SweepIsSharedAndKeepsTheOrderOfOneThread) {
  JunkTree tree;
  FileList oneThread;
  SweepDirectory(tree.files, oneThread, SystemPath("/junk"), "/*.tmp", 1);
  ASSERT_EQ(oneThread.Count(), 1u + 12u + 3u);
  for (const bool guard : {false, true}) {
    tree.shared.LetTheSecondThreadGoFirst();
    const std::size_t before = tree.shared.CallsOnSecondThread();
    const CleanPlan plan = tree.Gather(guard, /*recurse=*/true);
    EXPECT_GT(tree.shared.CallsOnSecondThread(), before) << "not shared; guard " << guard;
    EXPECT_THAT(Paths(plan), ElementsAreArray(oneThread.begin(), oneThread.end())) << guard;
  }
}

// A failure on the second thread ends the work on the first with that
// failure, as one of its own would, instead of ending the process.
TEST(SharedWorkTest, FailureOnTheSecondThreadReachesTheCaller) {
  struct Case {
    const char* where;
    std::function<void(JunkTree&)> run;
  };
  const Case cases[] = {
      {"the sweep",
       [](JunkTree& tree) {
         tree.shared.LetTheSecondThreadGoFirst();
         tree.shared.FailOnSecondThread();
         tree.Gather(/*guard=*/false, /*recurse=*/true);
       }},
      {"the looks of the gathering",
       [](JunkTree& tree) {
         tree.shared.FailOnSecondThread();
         tree.Gather(/*guard=*/true, /*recurse=*/false);
       }},
      {"the looks ahead of the deletions",
       [](JunkTree& tree) {
         const CleanPlan plan = tree.Gather(/*guard=*/false, /*recurse=*/false);
         ASSERT_GT(plan.Count(), 0u);
         tree.shared.FailOnSecondThread();
         ExecuteCleanPlan(plan, CleanSettings(), tree.shared);
       }},
  };
  for (const Case& failing : cases) {
    JunkTree tree;
    EXPECT_THROW(failing.run(tree), std::runtime_error) << failing.where;
  }
}

}  // namespace
