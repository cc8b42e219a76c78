#include "engine/clean_run.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <new>
#include <stdexcept>
#include <string>
#include <vector>

#include "engine/testing/fake_file_system.h"
#include "engine/testing/fake_platform.h"
#include "engine/testing/interposing_file_system.h"
#include "engine/testing/two_thread_file_system.h"
#include "platform/posix/posix_file_system.h"
#include "testing/recording_controls.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing::IsEmpty;

namespace {

CleanEntry File(const std::string& path) { return {1, path, "", 0}; }
CleanEntry Wildcard(const std::string& path, const std::string& wildcard, int recurse) {
  return {0, path, wildcard, recurse};
}

CleanLocations TempAndTmp(const std::string& temp, const std::string& tmp) {
  CleanLocations locations;
  locations.m_strTemp = temp;
  locations.m_strTmp = tmp;
  return locations;
}

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
  locations_ = {"/recent", "/ns", "/iec", "/ieh", "/temp", "/tmp2"};
  // Listed out of the run's order, so that the order can only come from the run.
  for (const char* path :
       {"/ieh/visited", "/ieh/day/older", "/iec/page.htm", "/iec/cache1/img.gif", "/ns/CACHE0",
        "/ns/sub/deep", "/tmp2/x.TMP", "/tmp2/sub/y.tmp", "/tmp2/sub/keep.txt", "/temp/a.tmp",
        "/temp/sub/b.tmp", "/temp/keep.doc", "/recent/doc.lnk", "/recent/doc.txt"})
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
              ElementsAre("/recent/doc.lnk", "/temp/a.tmp", "/tmp2/x.TMP", "/tmp2/sub/y.tmp",
                          "/ns/CACHE0", "/iec/page.htm", "/iec/cache1/img.gif", "/ieh/visited"));
}

TEST_F(CleanRunTest, EverythingIsGatheredBeforeTheFirstDeletion) {
  Tick({ControlId::kTempBox});
  locations_.m_strTemp = "/temp";
  files_.AddFile("/temp/a.tmp");
  files_.AddFile("/entry/b.log");
  AddRows({Wildcard("/entry", "*.log", 0)});

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
  EXPECT_THAT(files_.PathsOf("RemoveFile"), ElementsAre("/temp/a.tmp", "/entry/b.log"));
}

TEST_F(CleanRunTest, OnlyTickedCategoriesWithADirectoryAreSwept) {
  Tick({ControlId::kRecentBox, ControlId::kTempBox, ControlId::kIECacheBox});
  locations_.m_strTemp = "/temp";
  locations_.m_strNetscapeCache = "/ns";
  files_.AddFile("/ns/page");
  files_.AddFile("/temp/a.tmp");
  files_.AddFile("/temp/sub/b.tmp");
  Run();
  EXPECT_THAT(status_.texts, ElementsAre("Searching for temp files...", "Cleaning files...", ""));
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), ElementsAre("/temp"));
  EXPECT_THAT(files_.PathsOf("RemoveFile"), ElementsAre("/temp/a.tmp"));
}

TEST_F(CleanRunTest, EntriesAfterCategoriesTopRowFirst) {
  Tick({ControlId::kTempBox});
  locations_.m_strTemp = "/temp";
  files_.AddFile("/temp/t.tmp");
  files_.AddFile("/one/listed.txt");
  files_.AddFile("/logs/a.log");
  files_.AddFile("/logs/old/b.log");
  files_.AddFile("/flat/c.bak");
  files_.AddFile("/flat/sub/d.bak");
  AddRows({File("/one/listed.txt"), Wildcard("/logs/", "*.log", 1), File("/does/not/exist"),
           Wildcard("/flat", "*.BAK", 0)});

  Run();
  EXPECT_THAT(
      status_.texts,
      ElementsAre("Searching for temp files...", "Searching in /logs/ for files matching *.log",
                  "Searching in /flat for files matching *.BAK", "Cleaning files...", ""));
  // The trailing separator shows in the text but never doubles in a path.
  EXPECT_THAT(files_.PathsOf("GetAttributes"),
              ElementsAre("/temp/t.tmp", "/one/listed.txt", "/logs/a.log", "/logs/old/b.log",
                          "/does/not/exist", "/flat/c.bak"));
  EXPECT_THAT(files_.PathsOf("RemoveFile"),
              ElementsAre("/temp/t.tmp", "/one/listed.txt", "/logs/a.log", "/logs/old/b.log",
                          "/flat/c.bak"));
}

TEST_F(CleanRunTest, OnlyOneTrailingSeparatorIsRemoved) {
  files_.AddFile("/d/a.tmp");
  AddRows({Wildcard("/d//", "*.tmp", 0)});
  Run();
  EXPECT_THAT(status_.texts.front(), "Searching in /d// for files matching *.tmp");
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), ElementsAre("/d/"));
}

TEST_F(CleanRunTest, RootEntrySweepsTheRootAndEmptyPathSweepsNothing) {
  files_.AddFile("/top.tmp");
  AddRows({Wildcard("", "*.tmp", 1), Wildcard("/", "*.tmp", 0)});
  Run();
  EXPECT_THAT(status_.texts,
              ElementsAre("Searching in / for files matching *.tmp", "Cleaning files...", ""));
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), ElementsAre("/"));
  EXPECT_THAT(files_.PathsOf("RemoveFile"), ElementsAre("/top.tmp"));
}

TEST_F(CleanRunTest, PathsNotFromTheRootArePassedOver) {
  // They would name files wherever the program happened to be started.
  files_.AddFile("/a");
  AddRows({File("rel.dat"), Wildcard(".", "*.*", 1), Wildcard("sub/", "*.tmp", 0), File("/a")});
  Run();
  EXPECT_THAT(status_.texts, ElementsAre("Cleaning files...", ""));
  // Only the folder of /a, to plan each file once; nothing is swept.
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), ElementsAre("/"));
  EXPECT_THAT(files_.PathsOf("GetAttributes"), ElementsAre("/a"));
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
  files_.AddFile("/a");
  files_.AddFile("/b");
  AddRows({File("/a"), Wildcard("/x", "*.*", 0), File("/b")});
  list_.SetCellText(1, 2, "Maybe");
  Run();
  EXPECT_THAT(files_.PathsOf("RemoveFile"), ElementsAre("/a", "/b"));
  EXPECT_THAT(files_.PathsOf("OpenDirectory"), testing::Not(testing::Contains("/x")));
}

TEST_F(CleanRunTest, PathGatheredTwiceIsDeletedOnceAndNotLookedForAgain) {
  Tick({ControlId::kTempBox});
  locations_.m_strTemp = "/temp";
  files_.AddFile("/temp/a.tmp");
  AddRows({File("/temp/a.tmp")});
  Run();
  EXPECT_THAT(files_.PathsOf("GetAttributes"), ElementsAre("/temp/a.tmp"));
  EXPECT_THAT(files_.PathsOf("RemoveFile"), ElementsAre("/temp/a.tmp"));
}

TEST_F(CleanRunTest, TrashProgramAndQuitFollowTheDeletions) {
  Tick({ControlId::kRecycleBinBox});
  settings_.m_bAutoRun = 1;
  settings_.m_strExeToRun = "/opt/tool/run me";
  settings_.m_bQuitAfterCleaning = 1;
  Run();
  EXPECT_THAT(status_.texts, ElementsAre("Cleaning files...", "Emptying recycle-bin...",
                                         "Running external program...", ""));
  EXPECT_THAT(status_.repainted, ElementsAre("Cleaning files...", "Emptying recycle-bin...",
                                             "Running external program..."));
  EXPECT_EQ(trash_.asked, 1);
  EXPECT_THAT(launcher_.opened, ElementsAre("/opt/tool/run me"));
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

// The in-memory window and platform of one run on `files`, the Temp box
// ticked, for the tests that need a file system of their own.
struct TempBoxRun {
  explicit TempBoxRun(FileSystem& files) : platform{files, trash, launcher} {
    boxes.SetCheck(ControlId::kTempBox, 1);
  }
  void Run(const CleanLocations& locations) {
    RunClean(window, locations, CleanSettings{}, platform);
  }

  FakeTrashFolders trash;
  FakeProgramLauncher launcher;
  PlatformServices platform;
  MemoryCheckBoxes boxes;
  RecordingStatusLine status;
  CountingWaitCursor cursor;
  MemoryListControl list;
  ScriptedMessageBox messages;
  EntryList entries{list, messages};
  CleanRunWindow window{boxes, status, cursor, entries, {}};
};

TEST(CleanRunFailureTest, RunLeftByAnExceptionEndsTheWaitCursorAndKeepsTheText) {
  ExhaustedFileSystem files;
  files.AddFile("/temp/a.tmp");
  TempBoxRun run(files);

  EXPECT_THROW(run.Run(TempAndTmp("/temp", "")), std::bad_alloc);
  EXPECT_EQ(run.cursor.depth, 0);
  EXPECT_EQ(run.status.Text(), "Cleaning files...");
}

// The looks ahead of the deletions fail on their thread: the run ends as
// above, with that failure.
TEST(CleanRunFailureTest, FailureOnTheSecondThreadEndsTheRunAsOneOnTheFirst) {
  FakeFileSystem files;
  files.directoryBudget = 16;
  files.AddFile("/temp/a.tmp");
  TwoThreadFileSystem shared(files);
  shared.FailOnSecondThread();
  TempBoxRun run(shared);

  EXPECT_THROW(run.Run(TempAndTmp("/temp", "")), std::runtime_error);
  EXPECT_GT(shared.CallsOnSecondThread(), 0u);
  EXPECT_EQ(run.cursor.depth, 0);
  EXPECT_EQ(run.status.Text(), "Cleaning files...");
  EXPECT_TRUE(files.Exists("/temp/a.tmp"));
}

// A whole run on the real file system.
TEST(CleanRunOnDiskTest, DeletesWhatWasAskedAndNothingElse) {
  ScopedTestHome home;
  const std::string temp = home.Path("temp");
  const std::string tmp = home.Path("tmp2");
  const std::string outside = home.Path("outside");
  const std::string entry = home.Path("my files");
  for (const std::string& file :
       {temp + "/a.tmp", temp + "/sub/kept.tmp", temp + "/.hidden.tmp", tmp + "/b.tmp",
        tmp + "/deep er/-c.TMP", outside + "/precious.tmp", entry + "/x.log", entry + "/x.txt",
        home.Path("single file")})
    WriteTestFile(file);
  fs::create_directory_symlink(outside, tmp + "/link-out.tmp");
  fs::create_directory_symlink(outside, tmp + "/link-out");

  PosixFileSystem files;
  TempBoxRun run(files);
  run.entries.InsertEntry(Wildcard(entry + "/", "*.log", 0));
  run.entries.InsertEntry(File(home.Path("single file")));

  run.Run(TempAndTmp(temp, tmp));

  for (const std::string& gone : {temp + "/a.tmp", tmp + "/b.tmp", tmp + "/deep er/-c.TMP",
                                  entry + "/x.log", home.Path("single file")})
    EXPECT_FALSE(fs::exists(gone)) << gone;
  EXPECT_FALSE(fs::exists(fs::symlink_status(tmp + "/link-out.tmp")));
  for (const std::string& kept :
       {temp + "/sub/kept.tmp", temp + "/.hidden.tmp", outside + "/precious.tmp", entry + "/x.txt"})
    EXPECT_TRUE(fs::exists(kept)) << kept;
  EXPECT_TRUE(fs::is_symlink(tmp + "/link-out"));
}

TEST(CleanRunOnDiskTest, DirectoryReplacedByALinkAfterGatheringLosesNothing) {
  ScopedTestHome home;
  const std::string tmp = home.Path("tmp");
  const std::string outside = home.Path("outside");
  for (const std::string& file : {tmp + "/top.tmp", tmp + "/shared/x.tmp"}) WriteTestFile(file);
  WriteTestFile(outside + "/x.tmp", "precious");

  PosixFileSystem disk;
  // Another user's doing, between the sweep and the first deletion.
  InterposingFileSystem files(disk, [&] {
    fs::rename(tmp + "/shared", tmp + "/shared.moved");
    fs::create_directory_symlink(outside, tmp + "/shared");
  });
  TempBoxRun run(files);

  run.Run(TempAndTmp("", tmp));

  EXPECT_TRUE(fs::exists(outside + "/x.tmp"));
  EXPECT_FALSE(fs::exists(tmp + "/top.tmp"));
}

}  // namespace
