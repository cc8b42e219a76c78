#include "engine/recycle_bin.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/stat.h>

#include <filesystem>
#include <string>
#include <utility>

#include "engine/testing/interposing_file_system.h"
#include "platform/posix/posix_file_system.h"
#include "platform/posix/posix_trash_folders.h"
#include "testing/recording_controls.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;
using testing::ElementsAre;

namespace {

// The home trash under the test's XDG_DATA_HOME; no other disk is offered.
class RecycleBinTest : public testing::Test {
 protected:
  RecycleBinTest()
      : trash_(home.Path("data/Trash")),
        bin_(trash_ + "/files"),
        folders_(TrashSources{.mountTable = home.Path("no-mounts"), .homeTrash = {}}) {
    fs::create_directories(bin_);
    fs::create_directories(trash_ + "/info");
  }

  // A trashed file with its info record.
  std::string Trashed(const std::string& name, mode_t mode = 0644) {
    WriteTestFile(bin_ + "/" + name);
    ::chmod((bin_ + "/" + name).c_str(), mode);
    WriteTestFile(Info(name), "[Trash Info]\nPath=/somewhere/" + name + "\n");
    return bin_ + "/" + name;
  }
  std::string Info(const std::string& name) { return trash_ + "/info/" + name + ".trashinfo"; }

  void Empty() { EmptyRecycleBin(files_, folders_, cursor_); }

  ScopedTestHome home;
  std::string trash_;
  std::string bin_;
  PosixFileSystem files_;
  PosixTrashFolders folders_;
  CountingWaitCursor cursor_;
};

TEST_F(RecycleBinTest, DeletesFilesDirectlyInTheBinAndTheirInfo) {
  const std::string plain = Trashed("report.doc");
  const std::string upper = Trashed("DESKTOP.INI");
  const std::string hidden = Trashed(".hidden");
  const std::string odd = Trashed("new\nline -x \\ \xff");

  Empty();
  for (const auto& [file, name] : {std::pair{plain, "report.doc"},
                                   {upper, "DESKTOP.INI"},
                                   {hidden, ".hidden"},
                                   {odd, "new\nline -x \\ \xff"}}) {
    EXPECT_FALSE(fs::exists(file)) << name;
    EXPECT_FALSE(fs::exists(Info(name))) << name;
  }
  EXPECT_EQ(cursor_.begun, 1);
  EXPECT_EQ(cursor_.depth, 0);
}

TEST_F(RecycleBinTest, SparesDesktopIniReadOnlyFilesAndFolders) {
  const std::string spared[] = {Trashed("desktop.ini"), Trashed("desktop.ini.old"),
                                Trashed("my desktop.ini"), Trashed("locked.txt", 0444)};
  WriteTestFile(bin_ + "/folder/inside.txt");
  WriteTestFile(Info("folder"));

  Empty();
  for (const std::string& file : spared) EXPECT_TRUE(fs::exists(file)) << file;
  for (const char* name :
       {"desktop.ini", "desktop.ini.old", "my desktop.ini", "locked.txt", "folder"})
    EXPECT_TRUE(fs::exists(Info(name))) << name;
  EXPECT_TRUE(fs::exists(bin_ + "/folder/inside.txt"));
}

TEST_F(RecycleBinTest, LinkInTheBinIsRemovedAndItsTargetStays) {
  const std::string target = home.Path("outside/kept.txt");
  WriteTestFile(target);
  fs::create_symlink(target, bin_ + "/link");
  fs::create_directory_symlink(home.Path("outside"), bin_ + "/dirlink");
  Empty();
  EXPECT_FALSE(fs::exists(fs::symlink_status(bin_ + "/link")));
  EXPECT_FALSE(fs::exists(fs::symlink_status(bin_ + "/dirlink")));
  EXPECT_TRUE(fs::exists(target));
}

TEST_F(RecycleBinTest, ReadOnlyBinFolderIsEmptiedAndStaysReadOnly) {
  const std::string file = Trashed("old.txt");
  ::chmod(bin_.c_str(), 0555);
  Empty();
  EXPECT_FALSE(fs::exists(file));
  EXPECT_EQ(fs::status(bin_).permissions(), fs::perms(0555));
}

TEST_F(RecycleBinTest, BinFolderReplacedByALinkAfterGatheringLosesNothing) {
  const std::string trashed = Trashed("report.doc");
  const std::string outside = home.Path("outside/report.doc");
  WriteTestFile(outside, "precious");
  // Another user's doing, between the listing of the bin and the deletion.
  InterposingFileSystem files(files_, [&] {
    fs::rename(bin_, bin_ + ".moved");
    fs::create_directory_symlink(home.Path("outside"), bin_);
  });
  EmptyRecycleBin(files, folders_, cursor_);
  EXPECT_TRUE(fs::exists(outside));
  EXPECT_TRUE(fs::exists(Info("report.doc")));
}

TEST_F(RecycleBinTest, LinkedInfoFolderIsNeverReachedThrough) {
  Trashed("report.doc");
  const std::string elsewhere = home.Path("elsewhere/report.doc.trashinfo");
  WriteTestFile(elsewhere, "precious");
  fs::remove_all(trash_ + "/info");
  fs::create_directory_symlink(home.Path("elsewhere"), trash_ + "/info");
  Empty();
  EXPECT_FALSE(fs::exists(bin_ + "/report.doc"));
  EXPECT_TRUE(fs::exists(elsewhere));
}

TEST_F(RecycleBinTest, MissingBinFolderIsNoFailure) {
  fs::remove(bin_);
  Empty();
  EXPECT_EQ(cursor_.depth, 0);
}

}  // namespace
