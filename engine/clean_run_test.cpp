#include "engine/clean_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/testing/fake_file_system.h"
#include "engine/testing/fake_platform.h"
#include "engine/testing/system_path.h"
#include "engine/testing/temp_box_run.h"
#include "engine/testing/two_thread_file_system.h"
#include "settings/testing/clean_inputs.h"
#include "testing/recording_controls.h"

using testing::ElementsAre;
using testing::ElementsAreArray;
using testing::IsEmpty;

namespace {

// A clean run against the in-memory window and file system.
class CleanRunTest : public testing::Test {
 protected:
  void Tick(std::initializer_list<ControlId> boxes) {
    for (ControlId box : boxes) boxes_.SetCheck(box, 1);
  }
  // Rows appear in the list top to bottom in the order given here.
  void AddRows(const std::vector<CleanEntry>& rows) {
    for (auto row = rows.rbegin(); row != rows.rend(); ++row)
      ASSERT_TRUE(entries_.InsertEntry(*row));
  }
  void Run() { RunClean(window_, locations_, settings_, platform_); }

  FakeFileSystem files_;
  FakeTrashFolders trash_;
  FakeProgramLauncher launcher_;
  PlatformServices platform_{files_, trash_, launcher_};
  MemoryCheckBoxes boxes_;
  RecordingStatusLine status_;
  CountingWaitCursor cursor_;
  MemoryListControl list_;
  ScriptedMessageBox messages_;
  EntryList entries_{list_, messages_};
  std::vector<std::string> statusAtExit_;
  CleanRunWindow window_{boxes_, status_, cursor_, entries_,
                         [this] { statusAtExit_.push_back(status_.Text()); }};
  CleanLocations locations_;
  CleanSettings settings_;
};

TEST_F(CleanRunTest, NothingToDoStillShowsCleaningAndEndsEmpty) {
  Run();
  EXPECT_THAT(status_.texts, ElementsAre("Cleaning files...", ""));
  EXPECT_THAT(status_.repainted, ElementsAre("Cleaning files..."));
  EXPECT_THAT(files_.calls, IsEmpty());
  EXPECT_EQ(trash_.asked, 0);
  EXPECT_THAT(launcher_.opened, IsEmpty());
  EXPECT_THAT(statusAtExit_, IsEmpty());
  EXPECT_EQ(cursor_.begun, 1);
  EXPECT_EQ(cursor_.depth, 0);
}

TEST_F(CleanRunTest, CategoriesInTheirOrderWithTheirPatternsAndDepths) {
  Tick({ControlId::kRecentBox, ControlId::kTempBox, ControlId::kNetscapeBox, ControlId::kIECacheBox,
        ControlId::kIEHistoryBox});
  locations_ = {SystemPath("/recent"), SystemPath("/ns"),   SystemPath("/iec"),
                SystemPath("/ieh"),    SystemPath("/temp"), SystemPath("/tmp2")};
  // Listed out of the run's order, so that the order can only come from the run.
  for (const std::string& path : SystemPaths(
           {"/ieh/visited", "/ieh/day/older", "/iec/page.htm", "/iec/cache1/img.gif", "/ns/CACHE0",
            "/ns/sub/deep", "/tmp2/x.TMP", "/tmp2/sub/y.tmp", "/tmp2/sub/keep.txt", "/temp/a.tmp",
            "/temp/sub/b.tmp", "/temp/keep.doc", "/recent/doc.lnk", "/recent/doc.txt"}))
    files_.AddFile(path);

  Run();
  EXPECT_THAT(
      status_.texts,
      ElementsAre("Searching for recent documents...", "Searching for temp files...",
                  "Searching for tmp files...", "Searching for Navigator cached files...",
                  "Searching for Internet Explorer cached files...",
                  "Searching for Internet Explorer history files...", "Cleaning files...", ""));
  EXPECT_EQ(status_.repainted,
            std::vector<std::string>(status_.texts.begin(), status_.texts.end() - 1));
  EXPECT_THAT(files_.PathsOf("RemoveFile"),
              ElementsAreArray(SystemPaths({"/recent/doc.lnk", "/temp/a.tmp", "/tmp2/x.TMP",
                                            "/tmp2/sub/y.tmp", "/ns/CACHE0", "/iec/page.htm",
                                            "/iec/cache1/img.gif", "/ieh/visited"})));
}

TEST_F(CleanRunTest, EverythingIsGatheredBeforeTheFirstDeletion) {
  Tick({ControlId::kTempBox});
  locations_.m_strTemp = SystemPath("/temp");
  files_.AddFile(SystemPath("/temp/a.tmp"));
  files_.AddFile(SystemPath("/entry/b.log"));
  AddRows({Wildcard(SystemPath("/entry"), "*.log", 0)});

  Run();
  const auto& calls = files_.calls;
  const auto lastOpen = std::find_if(calls.rbegin(), calls.rend(), [](const std::string& call) {
    return call.starts_with("Open");
  });
  const auto firstAttributes =
      std::find_if(calls.begin(), calls.end(),
                   [](const std::string& call) { return call.starts_with("GetAttributes"); });
  ASSERT_NE(lastOpen, calls.rend());
  ASSERT_NE(firstAttributes, calls.end());
  EXPECT_LT(calls.rend() - lastOpen - 1, firstAttributes - calls.begin());
  EXPECT_THAT(files_.PathsOf("RemoveFile"),
              ElementsAreArray(SystemPaths({"/temp/a.tmp", "/entry/b.log"})));
}

TEST_F(CleanRunTest, OnlyTickedCategoriesWithADirectoryAreSwept) {
  Tick({ControlId::kRecentBox, ControlId::kTempBox, ControlId::kIECacheBox});
  locations_.m_strTemp = SystemPath("/temp");
  locations_.m_strNetscapeCache = SystemPath("/ns");
  files_.AddFile(SystemPath("/ns/page"));
  files_.AddFile(SystemPath("/temp/a.tmp"));
  files_.AddFile(SystemPath("/temp/sub/b.tmp"));
  Run();
  EXPECT_THAT(status_.texts, ElementsAre("Searching for temp files...", "Cleaning files...", ""));
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), ElementsAre(SystemPath("/temp")));
  EXPECT_THAT(files_.PathsOf("RemoveFile"), ElementsAre(SystemPath("/temp/a.tmp")));
}

TEST_F(CleanRunTest, EntriesAfterCategoriesTopRowFirst) {
  Tick({ControlId::kTempBox});
  locations_.m_strTemp = SystemPath("/temp");
  files_.AddFile(SystemPath("/temp/t.tmp"));
  files_.AddFile(SystemPath("/one/listed.txt"));
  files_.AddFile(SystemPath("/logs/a.log"));
  files_.AddFile(SystemPath("/logs/old/b.log"));
  files_.AddFile(SystemPath("/flat/c.bak"));
  files_.AddFile(SystemPath("/flat/sub/d.bak"));
  AddRows({File(SystemPath("/one/listed.txt")), Wildcard(SystemPath("/logs/"), "*.log", 1),
           File(SystemPath("/does/not/exist")), Wildcard(SystemPath("/flat"), "*.BAK", 0)});

  Run();
  EXPECT_THAT(status_.texts,
              ElementsAre("Searching for temp files...",
                          "Searching in " + SystemPath("/logs/") + " for files matching *.log",
                          "Searching in " + SystemPath("/flat") + " for files matching *.BAK",
                          "Cleaning files...", ""));
  // The trailing separator shows in the text but never doubles in a path.
  EXPECT_THAT(files_.PathsOf("GetAttributes"),
              ElementsAreArray(SystemPaths({"/temp/t.tmp", "/one/listed.txt", "/logs/a.log",
                                            "/logs/old/b.log", "/does/not/exist", "/flat/c.bak"})));
  EXPECT_THAT(files_.PathsOf("RemoveFile"),
              ElementsAreArray(SystemPaths({"/temp/t.tmp", "/one/listed.txt", "/logs/a.log",
                                            "/logs/old/b.log", "/flat/c.bak"})));
}

TEST_F(CleanRunTest, OnlyOneTrailingSeparatorIsRemoved) {
  files_.AddFile(SystemPath("/d/a.tmp"));
  AddRows({Wildcard(SystemPath("/d//"), "*.tmp", 0)});
  Run();
  EXPECT_THAT(status_.texts.front(),
              "Searching in " + SystemPath("/d//") + " for files matching *.tmp");
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), ElementsAre(SystemPath("/d/")));
}

TEST_F(CleanRunTest, RootEntrySweepsTheRootAndEmptyPathSweepsNothing) {
  files_.AddFile(SystemPath("/top.tmp"));
  AddRows({Wildcard("", "*.tmp", 1), Wildcard(SystemPath("/"), "*.tmp", 0)});
  Run();
  EXPECT_THAT(status_.texts,
              ElementsAre("Searching in " + SystemPath("/") + " for files matching *.tmp",
                          "Cleaning files...", ""));
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), ElementsAre(SystemPath("/")));
  EXPECT_THAT(files_.PathsOf("RemoveFile"), ElementsAre(SystemPath("/top.tmp")));
}

TEST_F(CleanRunTest, PathsNotFromTheRootArePassedOver) {
  // They would name files wherever the program happened to be started.
  files_.AddFile(SystemPath("/a"));
  AddRows({File("rel.dat"), Wildcard(".", "*.*", 1), Wildcard("sub/", "*.tmp", 0),
           File(SystemPath("/a"))});
  Run();
  EXPECT_THAT(status_.texts, ElementsAre("Cleaning files...", ""));
  // Only the folder of /a, to plan each file once; nothing is swept.
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), ElementsAre(SystemPath("/")));
  EXPECT_THAT(files_.PathsOf("GetAttributes"), ElementsAre(SystemPath("/a")));
}

TEST_F(CleanRunTest, CategoryFoldersNotFromTheRootArePassedOver) {
  // TMP=. from cron would sweep the home.
  Tick({ControlId::kTempBox, ControlId::kIECacheBox});
  locations_ = TempAndTmp(".", "tmp/");
  locations_.m_strIECache = "cache";
  Run();
  EXPECT_THAT(status_.texts, ElementsAre("Cleaning files...", ""));
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), IsEmpty());
}

TEST_F(CleanRunTest, UnreadableRowIsPassedOverAndTheRestAreDone) {
  files_.AddFile(SystemPath("/a"));
  files_.AddFile(SystemPath("/b"));
  AddRows({File(SystemPath("/a")), Wildcard(SystemPath("/x"), "*.*", 0), File(SystemPath("/b"))});
  list_.SetCellText(1, 2, "Maybe");
  Run();
  EXPECT_THAT(files_.PathsOf("RemoveFile"), ElementsAreArray(SystemPaths({"/a", "/b"})));
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), testing::Not(testing::Contains(SystemPath("/x"))));
}

TEST_F(CleanRunTest, PathGatheredTwiceIsDeletedOnceAndNotLookedForAgain) {
  Tick({ControlId::kTempBox});
  locations_.m_strTemp = SystemPath("/temp");
  files_.AddFile(SystemPath("/temp/a.tmp"));
  AddRows({File(SystemPath("/temp/a.tmp"))});
  Run();
  EXPECT_THAT(files_.PathsOf("GetAttributes"), ElementsAre(SystemPath("/temp/a.tmp")));
  EXPECT_THAT(files_.PathsOf("RemoveFile"), ElementsAre(SystemPath("/temp/a.tmp")));
}

TEST_F(CleanRunTest, TrashProgramAndQuitFollowTheDeletions) {
  Tick({ControlId::kRecycleBinBox});
  settings_.m_bAutoRun = 1;
  settings_.m_strExeToRun = SystemPath("/opt/tool/run me");
  settings_.m_bQuitAfterCleaning = 1;
  Run();
  EXPECT_THAT(status_.texts, ElementsAre("Cleaning files...", "Emptying recycle-bin...",
                                         "Running external program...", ""));
  EXPECT_THAT(status_.repainted, ElementsAre("Cleaning files...", "Emptying recycle-bin...",
                                             "Running external program..."));
  EXPECT_EQ(trash_.asked, 1);
  EXPECT_THAT(launcher_.opened, ElementsAre(SystemPath("/opt/tool/run me")));
  // The window is left after the program was started, and the status line
  // is emptied after that.
  EXPECT_THAT(statusAtExit_, ElementsAre("Running external program..."));
  EXPECT_EQ(cursor_.depth, 0);
}

// A file system that runs out of memory while deleting.
class ExhaustedFileSystem : public FakeFileSystem {
 public:
  FileAttributes DoGetAttributes(const std::string&, const ListedIn&) override {
    throw std::bad_alloc();
  }
};

TEST(CleanRunFailureTest, RunLeftByAnExceptionEndsTheWaitCursorAndKeepsTheText) {
  ExhaustedFileSystem files;
  files.AddFile(SystemPath("/temp/a.tmp"));
  TempBoxRun run(files);

  EXPECT_THROW(run.Run(TempAndTmp(SystemPath("/temp"), "")), std::bad_alloc);
  EXPECT_EQ(run.cursor.depth, 0);
  EXPECT_EQ(run.status.Text(), "Cleaning files...");
}

// The looks ahead of the deletions fail on their thread: the run ends as
// above, with that failure.
TEST(CleanRunFailureTest, FailureOnTheSecondThreadEndsTheRunAsOneOnTheFirst) {
  FakeFileSystem files;
  files.directoryBudget = 16;
  files.AddFile(SystemPath("/temp/a.tmp"));
  TwoThreadFileSystem shared(files);
  shared.FailOnSecondThread();
  TempBoxRun run(shared);

  EXPECT_THROW(run.Run(TempAndTmp(SystemPath("/temp"), "")), std::runtime_error);
  EXPECT_GT(shared.CallsOnSecondThread(), 0u);
  EXPECT_EQ(run.cursor.depth, 0);
  EXPECT_EQ(run.status.Text(), "Cleaning files...");
  EXPECT_TRUE(files.Exists(SystemPath("/temp/a.tmp")));
}

}  // namespace
