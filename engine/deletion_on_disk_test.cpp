#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <optional>
#include <string>

#include "engine/deletion.h"
#include "engine/file_list.h"
#include "engine/sweep.h"
#include "platform/posix/posix_file_system.h"
#include "settings/testing/clean_inputs.h"
#include "testing/scoped_test_home.h"

// The deletion's rules on the real file system through the POSIX backend
// (modes, FIFOs, hard and symbolic links), for Linux only.

namespace fs = std::filesystem;

namespace {

// The same rules on the real file system.
class DiskDeletionTest : public testing::Test {
 protected:
  ScopedTestHome home;
  PosixFileSystem files;
};

TEST_F(DiskDeletionTest, AttributesComeFromTheFileItself) {
  const std::string hidden = home.Path("d/.hidden");
  const std::string readOnly = home.Path("d/read-only");
  const std::string fifo = home.Path("d/pipe");
  WriteTestFile(hidden);
  WriteTestFile(readOnly);
  ::chmod(readOnly.c_str(), 0444);
  ASSERT_EQ(::mkfifo(fifo.c_str(), 0644), 0);

  const CleanSettings nothing = Allowing(0, 0, 0);
  EXPECT_EQ(DeleteListedFile(files, nothing, hidden), DeletionResult::kSpared);
  EXPECT_EQ(DeleteListedFile(files, nothing, readOnly), DeletionResult::kSpared);
  EXPECT_EQ(DeleteListedFile(files, nothing, fifo), DeletionResult::kSpared);
  EXPECT_TRUE(fs::exists(hidden) && fs::exists(readOnly) && fs::exists(fifo));
  EXPECT_EQ(fs::status(readOnly).permissions(), fs::perms(0444));

  const CleanSettings everything = Allowing(1, 1, 1);
  EXPECT_EQ(DeleteListedFile(files, everything, hidden), DeletionResult::kDeleted);
  EXPECT_EQ(DeleteListedFile(files, everything, readOnly), DeletionResult::kDeleted);
  EXPECT_EQ(DeleteListedFile(files, everything, fifo), DeletionResult::kDeleted);
  EXPECT_FALSE(fs::exists(hidden) || fs::exists(readOnly) || fs::exists(fifo));
}

TEST_F(DiskDeletionTest, FileThatCannotBeDeletedKeepsItsPermissions) {
  if (::geteuid() == 0) GTEST_SKIP() << "root deletes from read-only directories";
  const std::string file = home.Path("locked/read-only.tmp");
  WriteTestFile(file);
  ::chmod(file.c_str(), 0444);
  ::chmod(home.Path("locked").c_str(), 0555);
  EXPECT_EQ(DeleteListedFile(files, Allowing(0, 1, 0), file), DeletionResult::kFailed);
  EXPECT_EQ(fs::status(file).permissions(), fs::perms(0444));
}

TEST_F(DiskDeletionTest, OtherLinksOfAReadOnlyFileKeepItsMode) {
  for (const bool batched : {false, true})
    for (const mode_t mode : {0444, 0000}) {
      const std::string file = home.Path("d/shared.tmp");
      const std::string other = home.Path("elsewhere/shared");
      WriteTestFile(file);
      fs::create_directories(home.Path("elsewhere"));
      ASSERT_EQ(::link(file.c_str(), other.c_str()), 0);
      ::chmod(file.c_str(), mode);
      {
        std::optional<ScopedFileBatch> batch;
        if (batched) batch.emplace(files);
        EXPECT_EQ(DeleteListedFile(files, Allowing(0, 1, 0), file), DeletionResult::kDeleted);
      }
      EXPECT_FALSE(fs::exists(file));
      EXPECT_EQ(fs::status(other).permissions(), fs::perms(mode)) << batched << " " << mode;
      fs::remove(other);
    }
}

TEST_F(DiskDeletionTest, DirectoryStaysEvenWithEverythingAllowed) {
  const std::string directory = home.Path("d/folder.tmp");
  fs::create_directories(directory);
  ::chmod(directory.c_str(), 0555);
  EXPECT_EQ(DeleteListedFile(files, Allowing(1, 1, 1), directory), DeletionResult::kNotAFile);
  EXPECT_TRUE(fs::is_directory(directory));
  EXPECT_EQ(fs::status(directory).permissions(), fs::perms(0555));
}

// Between the sweep and the deletion, another user replaces a directory the
// files were gathered in (in a world-writable temporary directory) by a link
// to a directory of the user's own, holding files of the same names. The
// deletion must then delete none of them, in a batch or not.
class ReplacedDirectoryTest : public testing::TestWithParam<bool> {
 protected:
  ReplacedDirectoryTest() : tmp_(home.Path("tmp")), outside_(home.Path("outside")) {
    for (const std::string& file : {tmp_ + "/top.tmp", tmp_ + "/a/x.tmp", tmp_ + "/a/b/deep.tmp"})
      WriteTestFile(file);
    for (const std::string& file : {outside_ + "/top.tmp", outside_ + "/x.tmp",
                                    outside_ + "/b/deep.tmp", outside_ + "/a/x.tmp"})
      WriteTestFile(file, "precious");
    // Would be made writable for the time of its deletion.
    ::chmod((outside_ + "/x.tmp").c_str(), 0444);
    SweepDirectory(files, gathered, tmp_, "/*.tmp", 1);
  }

  void ReplaceByLinkToOutside(const std::string& directory) {
    fs::rename(directory, directory + ".moved");
    fs::create_directory_symlink(outside_, directory);
  }

  int DeleteGathered() {
    std::optional<ScopedFileBatch> batch;
    if (GetParam()) batch.emplace(files);
    int deleted = 0;
    for (std::size_t index = 0; index < gathered.Count(); ++index)
      if (DeleteListedFile(files, Allowing(1, 1, 1), gathered.At(index),
                           gathered.ListedInAt(index)) == DeletionResult::kDeleted)
        ++deleted;
    return deleted;
  }

  void ExpectOutsideUntouched() {
    for (const std::string& file : {outside_ + "/top.tmp", outside_ + "/x.tmp",
                                    outside_ + "/b/deep.tmp", outside_ + "/a/x.tmp"})
      EXPECT_TRUE(fs::is_regular_file(file)) << file;
    EXPECT_EQ(fs::status(outside_ + "/x.tmp").permissions(), fs::perms(0444));
  }

  ScopedTestHome home;
  std::string tmp_;
  std::string outside_;
  PosixFileSystem files;
  FileList gathered;
};

TEST_P(ReplacedDirectoryTest, UnchangedTreeLosesEverythingGathered) {
  ASSERT_EQ(gathered.Count(), 3u);
  EXPECT_EQ(DeleteGathered(), 3);
  for (const std::string& file : {tmp_ + "/top.tmp", tmp_ + "/a/x.tmp", tmp_ + "/a/b/deep.tmp"})
    EXPECT_FALSE(fs::exists(file)) << file;
}

TEST_P(ReplacedDirectoryTest, SubdirectoryReplacedByALinkLeadsNowhere) {
  ReplaceByLinkToOutside(tmp_ + "/a");
  EXPECT_EQ(DeleteGathered(), 1);
  EXPECT_FALSE(fs::exists(tmp_ + "/top.tmp"));
  ExpectOutsideUntouched();
  EXPECT_TRUE(fs::is_symlink(tmp_ + "/a"));
  // Out of reach of the paths that were gathered, so it stays too.
  EXPECT_TRUE(fs::exists(tmp_ + "/a.moved/x.tmp"));
}

TEST_P(ReplacedDirectoryTest, SweptDirectoryItselfReplacedByALinkLeadsNowhere) {
  ReplaceByLinkToOutside(tmp_);
  EXPECT_EQ(DeleteGathered(), 0);
  ExpectOutsideUntouched();
  EXPECT_TRUE(fs::exists(tmp_ + ".moved/top.tmp"));
}

INSTANTIATE_TEST_SUITE_P(BatchedOrNot, ReplacedDirectoryTest, testing::Bool(),
                         [](const testing::TestParamInfo<bool>& info) {
                           return info.param ? "InABatch" : "OneByOne";
                         });

}  // namespace
