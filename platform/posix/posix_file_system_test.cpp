#include "platform/posix/posix_file_system.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <map>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

mode_t ModeOf(const std::string& path) {
  struct stat status;
  if (::lstat(path.c_str(), &status) != 0) return 0;
  return status.st_mode & 07777;
}

// Name to whether the listing called it a directory.
std::map<std::string, bool> ListAll(Directory& directory) {
  std::map<std::string, bool> listed;
  DirectoryEntry entry;
  while (directory.Next(entry)) listed[std::string(entry.name)] = entry.isDirectory;
  return listed;
}

class PosixFileSystemTest : public testing::Test {
 protected:
  std::string Make(const std::string& relative, mode_t mode = 0644) {
    const std::string path = home.Path(relative);
    WriteTestFile(path);
    ::chmod(path.c_str(), mode);
    return path;
  }

  ScopedTestHome home;
  PosixFileSystem files;
};

TEST_F(PosixFileSystemTest, AttributeWordComesFromLstat) {
  const std::string plain = Make("plain.txt");
  const std::string hidden = Make(".hidden");
  const std::string readOnly = Make("read-only", 0444);
  const std::string fifo = home.Path("pipe");
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);
  const std::string directory = home.Path("dir");
  fs::create_directory(directory);
  const std::string linkToReadOnly = home.Path("link");
  fs::create_symlink(readOnly, linkToReadOnly);
  const std::string linkToDirectory = home.Path("dirlink");
  fs::create_directory_symlink(directory, linkToDirectory);

  EXPECT_EQ(files.GetAttributes(plain), kAttributeNormal);
  EXPECT_EQ(files.GetAttributes(hidden), kAttributeHidden);
  EXPECT_EQ(files.GetAttributes(readOnly), kAttributeReadOnly);
  EXPECT_EQ(files.GetAttributes(fifo), kAttributeSystem);
  EXPECT_EQ(files.GetAttributes(directory), kAttributeDirectory);
  // A link is judged by itself, never by what it points to.
  EXPECT_EQ(files.GetAttributes(linkToReadOnly), kAttributeNormal);
  EXPECT_EQ(files.GetAttributes(linkToDirectory), kAttributeNormal);
  EXPECT_EQ(files.GetAttributes(home.Path("missing")), kInvalidAttributes);
  EXPECT_EQ(files.GetAttributes(""), kInvalidAttributes);
}

TEST_F(PosixFileSystemTest, FileMadeAnewWithTheSameSizeAndTimeHasAnotherBirth) {
  const std::string path = Make("again.tmp");
  const FileStatus before = files.Status(path);
  // Past the file system's clock granularity (a few milliseconds).
  std::this_thread::sleep_for(std::chrono::milliseconds(30));
  fs::remove(path);
  Make("again.tmp");
  // As `cp -p` and `tar x` do.
  const timespec times[2] = {{0, UTIME_OMIT},
                             {static_cast<time_t>(before.modified / 1'000'000'000),
                              static_cast<long>(before.modified % 1'000'000'000)}};
  ASSERT_EQ(::utimensat(AT_FDCWD, path.c_str(), times, 0), 0);
  const FileStatus after = files.Status(path);
  ASSERT_EQ(after.size, before.size);
  ASSERT_EQ(after.modified, before.modified);
  EXPECT_NE(after.born, before.born);
}

TEST_F(PosixFileSystemTest, SetNormalGivesOwnerWriteBackAndRestoreTakesItAway) {
  const std::string readOnly = Make(".both", 0444);
  const FileAttributes saved = files.GetAttributes(readOnly);
  ASSERT_EQ(saved, kAttributeReadOnly | kAttributeHidden);

  EXPECT_TRUE(files.SetNormal(readOnly, saved));
  EXPECT_EQ(ModeOf(readOnly), 0644u);
  EXPECT_TRUE(files.RestoreAttributes(readOnly, saved));
  EXPECT_EQ(ModeOf(readOnly), 0444u);

  const std::string writable = Make("writable", 0640);
  EXPECT_TRUE(files.SetNormal(writable, files.GetAttributes(writable)));
  EXPECT_EQ(ModeOf(writable), 0640u);

  EXPECT_FALSE(files.SetNormal(home.Path("missing"), kInvalidAttributes));
  EXPECT_FALSE(files.RestoreAttributes(home.Path("missing"), kInvalidAttributes));
}

TEST_F(PosixFileSystemTest, AttributeChangesNeverReachThroughALink) {
  const std::string target = Make("target", 0444);
  const std::string link = home.Path("link");
  fs::create_symlink(target, link);

  EXPECT_TRUE(files.SetNormal(link, kAttributeReadOnly));
  EXPECT_EQ(ModeOf(target), 0444u);
  const std::string writableTarget = Make("writable-target", 0644);
  const std::string otherLink = home.Path("other-link");
  fs::create_symlink(writableTarget, otherLink);
  EXPECT_TRUE(files.RestoreAttributes(otherLink, kAttributeReadOnly));
  EXPECT_EQ(ModeOf(writableTarget), 0644u);
}

TEST_F(PosixFileSystemTest, RemoveFileTakesLinksThemselvesAndNeverADirectory) {
  const std::string target = Make("outside/kept.txt");
  const std::string link = home.Path("link.tmp");
  fs::create_symlink(target, link);
  const std::string directoryLink = home.Path("dirlink.tmp");
  fs::create_directory_symlink(home.Path("outside"), directoryLink);
  const std::string directory = home.Path("dir.tmp");
  fs::create_directory(directory);
  const std::string readOnly = Make("read-only.tmp", 0444);

  EXPECT_TRUE(files.RemoveFile(link));
  EXPECT_TRUE(files.RemoveFile(directoryLink));
  EXPECT_FALSE(fs::exists(fs::symlink_status(link)));
  EXPECT_FALSE(fs::exists(fs::symlink_status(directoryLink)));
  EXPECT_TRUE(fs::exists(target));

  EXPECT_FALSE(files.RemoveFile(directory));
  EXPECT_TRUE(fs::is_directory(directory));
  EXPECT_FALSE(files.RemoveFile(home.Path("missing")));
  // Removal itself doesn't care for attributes; sparing is the caller's rule.
  EXPECT_TRUE(files.RemoveFile(readOnly));
}

TEST_F(PosixFileSystemTest, SubdirectoriesOpenOnlyWithoutFollowingLinks) {
  const std::string root = home.Path("tree");
  WriteTestFile(root + "/sub/inner.tmp");
  WriteTestFile(home.Path("elsewhere/secret.tmp"));
  fs::create_directory_symlink(home.Path("elsewhere"), root + "/link-to-dir");

  const auto directory = files.OpenDirectory(root);
  ASSERT_TRUE(directory);
  const auto sub = directory->OpenSubdirectory("sub");
  ASSERT_TRUE(sub);
  EXPECT_EQ(ListAll(*sub), (std::map<std::string, bool>{{"inner.tmp", false}}));
  EXPECT_EQ(directory->OpenSubdirectory("link-to-dir"), nullptr);
  EXPECT_EQ(directory->OpenSubdirectory("missing"), nullptr);
  EXPECT_EQ(files.OpenDirectory(home.Path("missing")), nullptr);
  EXPECT_EQ(files.OpenDirectory(root + "/sub/inner.tmp"), nullptr);
}

TEST_F(PosixFileSystemTest, BatchGivesTheSameAnswersAcrossDirectories) {
  const std::string first = Make("one/a.tmp");
  const std::string second = Make("two/.b.tmp", 0444);
  const std::string third = Make("one/c.tmp");
  const std::string missing = home.Path("gone/d.tmp");

  ScopedFileBatch batch(files);
  EXPECT_EQ(files.GetAttributes(first), kAttributeNormal);
  const FileAttributes saved = files.GetAttributes(second);
  EXPECT_EQ(saved, kAttributeHidden | kAttributeReadOnly);
  EXPECT_TRUE(files.SetNormal(second, saved));
  EXPECT_EQ(ModeOf(second), 0644u);
  EXPECT_TRUE(files.RestoreAttributes(second, saved));
  EXPECT_EQ(ModeOf(second), 0444u);
  EXPECT_EQ(files.GetAttributes(missing), kInvalidAttributes);
  EXPECT_FALSE(files.RemoveFile(missing));
  EXPECT_TRUE(files.RemoveFile(third));
  EXPECT_TRUE(files.RemoveFile(second));
  EXPECT_TRUE(files.RemoveFile(first));
  EXPECT_FALSE(fs::exists(first) || fs::exists(second) || fs::exists(third));
  EXPECT_FALSE(files.RemoveFile(home.Path("one")));
  EXPECT_TRUE(fs::is_directory(home.Path("one")));
}

TEST_F(PosixFileSystemTest, BatchClimbsAndDescendsDeeperThanItKeepsOpen) {
  std::vector<std::string> paths;
  std::vector<ListedIn> directories;
  std::string directory = "deep";
  for (int level = 0; level < 40; ++level, directory += "/sub") {
    paths.push_back(Make(directory + "/f.tmp"));
    struct stat status;
    ASSERT_EQ(::stat(home.Path(directory).c_str(), &status), 0);
    directories.push_back(DirectoryIdentity{status.st_dev, status.st_ino});
  }
  ScopedFileBatch batch(files);
  for (const int level : {39, 0, 25, 38, 1, 39, 20, 3})
    EXPECT_EQ(files.GetAttributes(paths[level], directories[level]), kAttributeNormal) << level;
  for (const int level : {39, 0, 38, 37, 20, 2})
    EXPECT_TRUE(files.RemoveFile(paths[level], directories[level])) << level;
  // Each one only in its own directory.
  EXPECT_FALSE(files.RemoveFile(paths[5], directories[6]));
  EXPECT_TRUE(fs::exists(paths[5]) && !fs::exists(paths[37]));
}

TEST_F(PosixFileSystemTest, LinkSwappedInForTheDirectoryDuringABatchIsNotFollowed) {
  const std::string gathered = Make("dir/a.tmp");
  const std::string outsider = Make("outside/a.tmp");
  {
    ScopedFileBatch batch(files);
    ASSERT_EQ(files.GetAttributes(gathered), kAttributeNormal);
    fs::rename(home.Path("dir"), home.Path("moved"));
    fs::create_directory_symlink(home.Path("outside"), home.Path("dir"));
    EXPECT_TRUE(files.RemoveFile(gathered));
  }
  EXPECT_TRUE(fs::exists(outsider));
  EXPECT_FALSE(fs::exists(home.Path("moved/a.tmp")));
  // Outside a batch the path is walked afresh.
  EXPECT_EQ(files.GetAttributes(gathered), kAttributeNormal);
}

TEST_F(PosixFileSystemTest, CallsGivenTheListingDirectoryActOnlyInThatDirectory) {
  const std::string file = Make("dir/a.tmp", 0444);
  const auto opened = files.OpenDirectory(home.Path("dir"));
  ASSERT_TRUE(opened);
  const std::optional<DirectoryIdentity> listedIn = opened->Identity();
  struct stat status;
  ASSERT_EQ(::stat(home.Path("dir").c_str(), &status), 0);
  ASSERT_EQ(listedIn, (DirectoryIdentity{status.st_dev, status.st_ino}));

  // Another directory at the same path, holding a file of the same name.
  fs::rename(home.Path("dir"), home.Path("old"));
  Make("dir/a.tmp", 0444);
  for (bool batched : {false, true}) {
    std::optional<ScopedFileBatch> batch;
    if (batched) batch.emplace(files);
    EXPECT_EQ(files.GetAttributes(file, listedIn), kInvalidAttributes);
    EXPECT_FALSE(files.SetNormal(file, kAttributeReadOnly, listedIn));
    EXPECT_FALSE(files.RestoreAttributes(file, kAttributeNormal, listedIn));
    EXPECT_FALSE(files.RemoveFile(file, listedIn));
    EXPECT_EQ(ModeOf(file), 0444u);
  }
  fs::rename(home.Path("dir"), home.Path("other"));
  fs::rename(home.Path("old"), home.Path("dir"));
  {
    ScopedFileBatch batch(files);
    EXPECT_EQ(files.GetAttributes(file, listedIn), kAttributeReadOnly);
    EXPECT_TRUE(files.SetNormal(file, kAttributeReadOnly, listedIn));
    EXPECT_EQ(ModeOf(file), 0644u);
  }
  EXPECT_TRUE(files.RemoveFile(file, listedIn));
  EXPECT_TRUE(fs::exists(home.Path("other/a.tmp")));
}

TEST_F(PosixFileSystemTest, DirectoryWithoutReadPermissionCannotBeOpened) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every directory";
  const std::string locked = home.Path("locked");
  fs::create_directory(locked);
  ::chmod(locked.c_str(), 0);
  EXPECT_EQ(files.OpenDirectory(locked), nullptr);
}

}  // namespace
