#include <gtest/gtest.h>

#include <filesystem>
#include <string>

#include "engine/clean_run.h"
#include "engine/testing/interposing_file_system.h"
#include "engine/testing/temp_box_run.h"
#include "platform/posix/posix_file_system.h"
#include "settings/testing/clean_inputs.h"
#include "testing/scoped_test_home.h"

// Whole runs on the real file system through the POSIX backend, with
// symbolic links, for Linux only.

namespace fs = std::filesystem;

namespace {

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
