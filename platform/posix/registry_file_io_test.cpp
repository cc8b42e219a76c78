#include <gtest/gtest.h>
#include <sys/stat.h>

#include <fstream>
#include <sstream>

#include "platform/posix/file_user_registry.h"
#include "platform/posix/registry_file_io.h"
#include "platform/posix/registry_location.h"
#include "platform/posix/registry_replacement.h"
#include "platform/registry_file.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

std::vector<fs::path> FilesIn(const fs::path& directory) {
  std::vector<fs::path> files;
  for (const auto& entry : fs::directory_iterator(directory)) files.push_back(entry.path());
  return files;
}

class RegistryFileOnDisk : public ::testing::Test {
 protected:
  ScopedTestHome home;
  fs::path path = UserRegistryFilePath();
};

TEST_F(RegistryFileOnDisk, LivesInTheUsersConfigDirectory) {
  EXPECT_EQ(path, home.Root() / "config" / "Orlemont Software" / "registry.reg");
  home.SetEnv("XDG_CONFIG_HOME", std::nullopt);
  EXPECT_EQ(UserRegistryFilePath(),
            home.Root() / "home" / ".config" / "Orlemont Software" / "registry.reg");
  home.SetEnv("XDG_CONFIG_HOME", "relative/dir");
  EXPECT_EQ(UserRegistryFilePath(),
            home.Root() / "home" / ".config" / "Orlemont Software" / "registry.reg");
}

TEST_F(RegistryFileOnDisk, SaveCreatesTheDirectoryAndLoadReadsItBack) {
  EXPECT_EQ(LoadRegistryFile(path).Format(), "");
  ASSERT_TRUE(ReadRegistryFile(path));

  RegistryFile file;
  file.SetValue(kUser, "K", "v", RegistryValue::String("saved"));
  ASSERT_TRUE(SaveRegistryFile(file, path));
  EXPECT_EQ(LoadRegistryFile(path).QueryValue(kUser, "K", "v"), RegistryValue::String("saved"));
  EXPECT_EQ(FilesIn(path.parent_path()), std::vector<fs::path>{path});
}

TEST_F(RegistryFileOnDisk, AnUnreadableFileIsNotMistakenForAnEmptyOne) {
  fs::create_directories(path);  // reading a directory fails
  EXPECT_FALSE(ReadRegistryFile(path));
  EXPECT_EQ(LoadRegistryFile(path).Format(), "");
}

TEST_F(RegistryFileOnDisk, SavingKeepsPermissionsAndSymbolicLinks) {
  const fs::path real = home.Path("dotfiles/registry.reg");
  WriteTestFile(real, "REGEDIT4\n");
  ::chmod(real.c_str(), 0640);
  fs::create_directories(path.parent_path());
  fs::create_symlink(real, path);

  RegistryFile file = LoadRegistryFile(path);
  file.SetValue(kUser, "K", "v", RegistryValue::Dword(1));
  ASSERT_TRUE(SaveRegistryFile(file, path));

  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(LoadRegistryFile(real).QueryValue(kUser, "K", "v"), RegistryValue::Dword(1));
  struct stat info {};
  ASSERT_EQ(::stat(real.c_str(), &info), 0);
  EXPECT_EQ(info.st_mode & 07777, 0640u);
}

TEST_F(RegistryFileOnDisk, ASaveInterruptedBeforeTheRenameLeavesTheOldFile) {
  RegistryFile old;
  old.SetValue(kUser, "K", "v", RegistryValue::String("old"));
  ASSERT_TRUE(SaveRegistryFile(old, path));
  const std::string oldContent = ReadFile(path);

  // What a crash between writing the new file and renaming it leaves behind.
  RegistryFile next = old;
  next.SetValue(kUser, "K", "v", RegistryValue::String("new"));
  const auto stray = WriteRegistryReplacement(path, next.Format());
  ASSERT_TRUE(stray);
  ASSERT_TRUE(fs::exists(stray->Path()));
  ASSERT_EQ(stray->Path().parent_path(), path.parent_path());

  EXPECT_EQ(ReadFile(path), oldContent);
  EXPECT_EQ(LoadRegistryFile(path).QueryValue(kUser, "K", "v"), RegistryValue::String("old"));

  // The stray file is never read and doesn't stop the next save.
  RegistryFile later = LoadRegistryFile(path);
  later.SetValue(kUser, "K", "w", RegistryValue::Dword(2));
  ASSERT_TRUE(SaveRegistryFile(later, path));
  const RegistryFile reread = LoadRegistryFile(path);
  EXPECT_EQ(reread.QueryValue(kUser, "K", "v"), RegistryValue::String("old"));
  EXPECT_EQ(reread.QueryValue(kUser, "K", "w"), RegistryValue::Dword(2));
}

TEST_F(RegistryFileOnDisk, AFailedRenameLeavesNothingBehind) {
  fs::create_directories(path);  // a directory can't be replaced by a file
  const auto replacement = WriteRegistryReplacement(path, "REGEDIT4\n");
  ASSERT_TRUE(replacement);
  EXPECT_FALSE(InstallRegistryReplacement(*replacement, path));
  EXPECT_FALSE(fs::exists(replacement->Path()));
  EXPECT_TRUE(fs::is_directory(path));
}

TEST_F(RegistryFileOnDisk, ASaveRemovesTheTemporaryFilesOfKilledSavesOnly) {
  const auto living = WriteRegistryReplacement(path, "REGEDIT4\n");
  fs::path killed;
  {
    const auto replacement = WriteRegistryReplacement(path, "REGEDIT4\n");
    ASSERT_TRUE(replacement);
    killed = replacement->Path();
  }  // its writer is gone: the file is no longer locked
  ASSERT_TRUE(living && fs::exists(killed));

  ASSERT_TRUE(SaveRegistryFile(RegistryFile(), path));
  EXPECT_FALSE(fs::exists(killed));
  EXPECT_TRUE(fs::exists(living->Path()));
}

}  // namespace

// A link whose target is gone (a dot-file folder not mounted yet) is no
// empty registry: the defaults would be taken for the user's settings, and
// a save would put a plain file in the link's place.
TEST_F(RegistryFileOnDisk, ADanglingLinkIsUnreadableAndNeverReplaced) {
  const fs::path target = home.Path("dotfiles/registry.reg");
  fs::create_directories(path.parent_path());
  fs::create_symlink(target, path);

  std::string why;
  EXPECT_FALSE(ReadRegistryBytes(path, &why));
  EXPECT_EQ(why, "dangling symbolic link");
  FileUserRegistry registry(path);
  EXPECT_EQ(registry.Unreadable(), std::optional<std::string>("dangling symbolic link"));
  EXPECT_FALSE(registry.Apply({RegistryWrite{kUser, "K", "v", RegistryValue::Dword(1)}}));
  EXPECT_FALSE(WriteRegistryBytes(path, "REGEDIT4\n"));

  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_FALSE(fs::exists(target));
}

// Through a link, an update reaches the link's target and leaves the link.
TEST_F(RegistryFileOnDisk, AnUpdateThroughALinkReplacesItsTarget) {
  const fs::path target = home.Path("dotfiles/registry.reg");
  WriteTestFile(target, "REGEDIT4\n");
  fs::create_directories(path.parent_path());
  fs::create_symlink(target, path);

  FileUserRegistry registry(path);
  ASSERT_TRUE(registry.Apply({RegistryWrite{kUser, "K", "v", RegistryValue::Dword(1)}}));
  EXPECT_TRUE(fs::is_symlink(path));
  EXPECT_EQ(LoadRegistryFile(target).QueryValue(kUser, "K", "v"), RegistryValue::Dword(1));
  EXPECT_EQ(FilesIn(path.parent_path()).size(), 2u);  // the link and the writers' lock
}
