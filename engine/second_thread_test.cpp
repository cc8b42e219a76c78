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

// Many folders of a few files each, listed last first: enough for two
// deleting threads to share.
struct WideTree {
  static constexpr int kDirectories = 16, kFiles = 5;
  WideTree() {
    files.directoryBudget = 64;
    for (int directory = 0; directory < kDirectories; ++directory)
      for (int file = kFiles; file-- > 0;) files.AddFile(Path(directory, file));
  }
  static std::string Path(int directory, int file) {
    return SystemPath("/junk/d" + std::to_string(directory) + "/" + std::to_string(file) + ".tmp");
  }
  CleanPlan Gather() {
    const CleanLocations none;
    const CleanSelection selection{{}, none, {{0, SystemPath("/junk"), "*.tmp", 1}}};
    return GatherCleanPlan(selection, CleanSettings(), shared, /*guard=*/false);
  }

  FakeFileSystem files;
  TwoThreadFileSystem shared{files};
};

// Two threads delete, each directory's files on one of them in the plan's
// order, each file's check right before its deletion.
TEST(SharedWorkTest, DeletionsSharedByTwoThreadsKeepEachDirectorysOrder) {
  WideTree tree;
  const CleanPlan plan = tree.Gather();
  ASSERT_EQ(plan.Count(), std::size_t{WideTree::kDirectories * WideTree::kFiles});
  tree.files.calls.clear();
  const std::size_t before = tree.shared.CallsOnSecondThread();

  const CleanReport report = ExecuteCleanPlan(plan, CleanSettings(), tree.shared);
  EXPECT_EQ(report.deleted, plan.Count());
  EXPECT_GT(tree.shared.CallsOnSecondThread(), before) << "one thread deleted everything";
  for (int directory = 0; directory < WideTree::kDirectories; ++directory) {
    std::vector<std::string> expected, made;
    for (int file = WideTree::kFiles; file-- > 0;)
      for (const char* call : {"GetAttributes ", "SetNormal ", "RemoveFile "})
        expected.push_back(call + WideTree::Path(directory, file));
    const std::string folder =
        " " + SystemPath("/junk/d" + std::to_string(directory)) + kPathSeparator;
    for (const std::string& call : tree.files.calls)
      if (call.find(folder) != std::string::npos) made.push_back(call);
    EXPECT_THAT(made, ElementsAreArray(expected));
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
         tree.shared.DeleteOnOneThread();
         tree.shared.FailOnSecondThread();
         ExecuteCleanPlan(plan, CleanSettings(), tree.shared);
       }},
      {"the second deleting thread",
       [](JunkTree&) {
         WideTree wide;
         const CleanPlan plan = wide.Gather();
         wide.shared.FailOnSecondThread();
         bool toldTheEnd = false;
         try {
           ExecuteCleanPlan(
               plan, CleanSettings(), wide.shared,
               [&](std::size_t done, std::size_t total) { toldTheEnd = done == total; });
         } catch (...) {
           EXPECT_FALSE(toldTheEnd) << "the run went on after the failure";
           throw;
         }
       }},
  };
  for (const Case& failing : cases) {
    JunkTree tree;
    EXPECT_THROW(failing.run(tree), std::runtime_error) << failing.where;
  }
}

}  // namespace
