#include "platform/posix/posix_trash_folders.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

class PosixTrashFoldersTest : public testing::Test {
 protected:
  // Makes a trash can with its files/ and info/ folders.
  std::string MakeTrash(const std::string& relative) {
    const std::string trash = home.Path(relative);
    fs::create_directories(trash + "/files");
    fs::create_directories(trash + "/info");
    return trash;
  }

  // A mount table whose lines are "device directory type".
  std::string WriteMountTable(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + " rw,relatime 0 0\n";
    const std::string path = home.Path("mounts");
    WriteTestFile(path, text);
    return path;
  }

  PosixTrashFolders Trash(const std::string& mountTable) {
    return PosixTrashFolders(TrashSources{.mountTable = mountTable, .homeTrash = {}, .uid = uid});
  }

  ScopedTestHome home;
  const uid_t uid = ::getuid();
  const std::string uidText = std::to_string(uid);
};

TEST_F(PosixTrashFoldersTest, HomeTrashComesFromXdgDataHome) {
  const std::string trash = MakeTrash("data/Trash");
  EXPECT_EQ(Trash(WriteMountTable({})).BinFolders(), std::vector<std::string>{trash + "/files"});

  home.SetEnv("XDG_DATA_HOME", std::nullopt);
  const std::string fallback = MakeTrash("home/.local/share/Trash");
  EXPECT_EQ(Trash(WriteMountTable({})).BinFolders(), std::vector<std::string>{fallback + "/files"});
}

TEST_F(PosixTrashFoldersTest, RelativeXdgDataHomeAndHomeAreIgnored) {
  // Trashes a relative path would reach from the working directory.
  const fs::path cwd = fs::current_path();
  fs::current_path(home.Root());
  MakeTrash("rel/Trash");
  MakeTrash("home/.local/share/Trash");
  home.SetEnv("XDG_DATA_HOME", "rel");
  const std::string fallback = home.Path("home/.local/share/Trash");
  EXPECT_EQ(Trash(WriteMountTable({})).BinFolders(), std::vector<std::string>{fallback + "/files"});

  home.SetEnv("HOME", "home");
  EXPECT_EQ(Trash(WriteMountTable({})).BinFolders(), std::vector<std::string>{});
  home.SetEnv("HOME", std::nullopt);
  EXPECT_EQ(Trash(WriteMountTable({})).BinFolders(), std::vector<std::string>{});
  fs::current_path(cwd);
}

TEST_F(PosixTrashFoldersTest, DiskTrashesFollowTheHomeTrashInMountOrder) {
  const std::string homeTrash = MakeTrash("data/Trash");
  fs::create_directories(home.Path("disk1/.Trash"));
  ::chmod(home.Path("disk1/.Trash").c_str(), 01777);
  const std::string shared = MakeTrash("disk1/.Trash/" + uidText);
  const std::string own1 = MakeTrash("disk1/.Trash-" + uidText);
  const std::string own2 = MakeTrash("disk2/.Trash-" + uidText);
  MakeTrash("ram/.Trash-" + uidText);
  MakeTrash("net/.Trash-" + uidText);
  MakeTrash("media/.Trash-" + uidText);

  const std::string table = WriteMountTable({
      "/dev/sdb1 " + home.Path("disk2") + " ext4",
      "tmpfs " + home.Path("ram") + " tmpfs",
      "/dev/sda1 " + home.Path("disk1") + " xfs",
      "server:/x " + home.Path("net") + " nfs4",
      "overlay " + home.Path("media") + " overlay",
  });
  EXPECT_EQ(Trash(table).BinFolders(),
            (std::vector<std::string>{homeTrash + "/files", own2 + "/files", shared + "/files",
                                      own1 + "/files"}));
}

TEST_F(PosixTrashFoldersTest, SharedTrashNeedsARealStickyDirectory) {
  fs::create_directories(home.Path("nosticky/.Trash"));
  ::chmod(home.Path("nosticky/.Trash").c_str(), 0777);
  MakeTrash("nosticky/.Trash/" + uidText);
  MakeTrash("real/.Trash/" + uidText);
  ::chmod(home.Path("real/.Trash").c_str(), 01777);
  fs::create_directories(home.Path("linked"));
  fs::create_directory_symlink(home.Path("real/.Trash"), home.Path("linked/.Trash"));

  const std::string table = WriteMountTable({"/dev/sda1 " + home.Path("nosticky") + " ext4",
                                             "/dev/sdb1 " + home.Path("linked") + " ext4"});
  EXPECT_TRUE(Trash(table).BinFolders().empty());
}

TEST_F(PosixTrashFoldersTest, LinkedTrashesAndBinFoldersAreRefused) {
  const std::string realTrash = MakeTrash("elsewhere/trash");
  fs::create_directories(home.Path("disk"));
  fs::create_directory_symlink(realTrash, home.Path("disk/.Trash-" + uidText));
  fs::create_directories(home.Path("disk2/.Trash-" + uidText));
  fs::create_directory_symlink(home.Path("elsewhere/trash/files"),
                               home.Path("disk2/.Trash-" + uidText + "/files"));

  const std::string table = WriteMountTable(
      {"/dev/sda1 " + home.Path("disk") + " ext4", "/dev/sdb1 " + home.Path("disk2") + " ext4"});
  EXPECT_TRUE(Trash(table).BinFolders().empty());
}

TEST_F(PosixTrashFoldersTest, ATrashReachedTwiceIsOfferedOnce) {
  // The home trash is a link to a disk's trash, and that disk is mounted twice.
  const std::string own = MakeTrash("disk/.Trash-" + uidText);
  fs::create_directory_symlink(own, home.Path("data/Trash"));
  const std::string other = MakeTrash("other/.Trash-" + uidText);
  const std::string table = WriteMountTable({"/dev/sda1 " + home.Path("disk") + " ext4",
                                             "/dev/sdb1 " + home.Path("other") + " ext4",
                                             "/dev/sda1 " + home.Path("disk") + " ext4"});
  EXPECT_EQ(Trash(table).BinFolders(),
            (std::vector<std::string>{home.Path("data/Trash") + "/files", other + "/files"}));
}

TEST_F(PosixTrashFoldersTest, TrashOfAnotherUserIsLeftAlone) {
  if (::geteuid() != 0) GTEST_SKIP() << "only root can give a directory to another user";
  const std::string foreign = MakeTrash("disk/.Trash-" + uidText);
  ASSERT_EQ(::chown(foreign.c_str(), uid + 4242, static_cast<gid_t>(-1)), 0);
  EXPECT_TRUE(
      Trash(WriteMountTable({"/dev/sda1 " + home.Path("disk") + " ext4"})).BinFolders().empty());
}

TEST_F(PosixTrashFoldersTest, MissingMountTableLeavesTheHomeTrash) {
  const std::string homeTrash = MakeTrash("data/Trash");
  EXPECT_EQ(Trash(home.Path("no-such-table")).BinFolders(),
            std::vector<std::string>{homeTrash + "/files"});
}

TEST_F(PosixTrashFoldersTest, ForgettingAFileRemovesOnlyItsTrashInfo) {
  const std::string trash = MakeTrash("data/Trash");
  WriteTestFile(trash + "/info/gone file.txt.trashinfo");
  WriteTestFile(trash + "/info/kept.txt.trashinfo");

  PosixTrashFolders folders = Trash(WriteMountTable({}));
  ASSERT_EQ(folders.BinFolders(), std::vector<std::string>{trash + "/files"});
  const std::optional<DirectoryIdentity> bin = folders.VerifyBinFolder(trash + "/files");
  ASSERT_TRUE(bin);
  folders.ForgetDeletedFile(trash + "/files", *bin, "gone file.txt");
  folders.ForgetDeletedFile(trash + "/files", *bin, "../info/kept.txt");
  folders.ForgetDeletedFile(trash + "/other", *bin, "kept.txt");

  EXPECT_FALSE(fs::exists(trash + "/info/gone file.txt.trashinfo"));
  EXPECT_TRUE(fs::exists(trash + "/info/kept.txt.trashinfo"));
}

}  // namespace
