#include "settings/registry_profile.h"

#include <gtest/gtest.h>

#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <functional>
#include <sstream>
#include <thread>

#include "platform/posix/registry_file_io.h"
#include "platform/posix/registry_location.h"
#include "settings/testing/file_profile.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr const char* kSectionKey = "Software\\Orlemont Software\\dustral\\Default Settings";

std::string ReadFile(const fs::path& path) {
  std::ifstream in(path, std::ios::binary);
  std::stringstream content;
  content << in.rdbuf();
  return content.str();
}

class RegistryProfileTest : public ::testing::Test {
 protected:
  void Store(const std::string& text) { WriteTestFile(path, text); }

  ScopedTestHome home;
  fs::path path = UserRegistryFilePath();
};

TEST_F(RegistryProfileTest, ReadsTheApplicationsSectionKeys) {
  Store(
      "REGEDIT4\n\n"
      "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Default Settings]\n"
      "\"Minus one\"=dword:ffffffff\n"
      "\"Large\"=dword:7fffffff\n"
      "\"Text\"=\"C:\\\\x\"\n"
      "\"Lines\"=hex(1):61,0a,62,00\n"
      "\"Short dword\"=hex(4):01,00\n"
      "\"Expand\"=hex(2):41,00\n"
      "\n"
      "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\other\\Default Settings]\n"
      "\"Elsewhere\"=dword:00000001\n");
  const FileProfile profile(path);
  const std::string s = "Default Settings";

  EXPECT_EQ(profile.GetProfileInt(s, "Minus one", 0), -1);
  EXPECT_EQ(profile.GetProfileInt(s, "Large", 0), 0x7fffffff);
  EXPECT_EQ(profile.GetProfileString(s, "Text", "d"), "C:\\x");
  EXPECT_EQ(profile.GetProfileString(s, "Lines", "d"), "a\nb");
  EXPECT_EQ(profile.GetProfileInt(s, "Elsewhere", 9), 9);
  EXPECT_EQ(profile.GetProfileInt("Entries", "Large", 9), 9);
  // A value of another type reads as the default.
  EXPECT_EQ(profile.GetProfileInt(s, "Text", 5), 5);
  EXPECT_EQ(profile.GetProfileInt(s, "Short dword", 5), 5);
  EXPECT_EQ(profile.GetProfileString(s, "Large", "d"), "d");
  EXPECT_EQ(profile.GetProfileString(s, "Expand", "d"), "d");
}

TEST_F(RegistryProfileTest, WritesReachTheFileOnlyAtCommit) {
  FileProfile profile(path);
  profile.WriteProfileInt("Default Settings", "Number", -2);
  profile.WriteProfileString("Default Settings", "Text", "a \"b\"\n\xff");
  EXPECT_EQ(profile.GetProfileInt("Default Settings", "Number", 0), -2);
  EXPECT_FALSE(fs::exists(path));

  ASSERT_TRUE(profile.Commit());
  const RegistryFile file = LoadRegistryFile(path);
  EXPECT_EQ(file.QueryValue(kUser, kSectionKey, "Number"), RegistryValue::Dword(0xfffffffe));
  EXPECT_EQ(file.QueryValue(kUser, kSectionKey, "Text"), RegistryValue::String("a \"b\"\n\xff"));
  EXPECT_EQ(FileProfile(path).GetProfileString("Default Settings", "Text", ""), "a \"b\"\n\xff");
}

TEST_F(RegistryProfileTest, ANullTextDeletesTheValue) {
  FileProfile profile(path);
  profile.WriteProfileString("Entries", "00003_WildCard", "*.tmp");
  ASSERT_TRUE(profile.Commit());
  profile.WriteProfileString("Entries", "00003_WildCard", std::nullopt);
  EXPECT_EQ(profile.GetProfileString("Entries", "00003_WildCard", "gone"), "gone");
  ASSERT_TRUE(profile.Commit());
  EXPECT_EQ(FileProfile(path).GetProfileString("Entries", "00003_WildCard", "gone"), "gone");
}

// Rewriting a file with the bytes it holds would cost a flush to the disk
// at every unattended run; a change is still written.
TEST_F(RegistryProfileTest, ACommitThatChangesNothingLeavesTheFileAlone) {
  FileProfile first(path);
  first.WriteProfileInt("Default Settings", "Number", 1);
  ASSERT_TRUE(first.Commit());
  struct stat before {};
  ASSERT_EQ(::stat(path.c_str(), &before), 0);

  FileProfile again(path);
  again.WriteProfileInt("Default Settings", "Number", 1);
  ASSERT_TRUE(again.Commit());
  struct stat after {};
  ASSERT_EQ(::stat(path.c_str(), &after), 0);
  EXPECT_EQ(after.st_ino, before.st_ino);

  again.WriteProfileInt("Default Settings", "Number", 2);
  ASSERT_TRUE(again.Commit());
  EXPECT_EQ(FileProfile(path).GetProfileInt("Default Settings", "Number", 0), 2);
}

TEST_F(RegistryProfileTest, CommitKeepsWhatOthersChangedMeanwhile) {
  Store(
      "REGEDIT4\n\n; kept\n[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Default "
      "Settings]\n\"Theirs\"=dword:00000001\n");
  FileProfile profile(path);
  profile.WriteProfileInt("Default Settings", "Mine", 2);

  // Another program edits the file while this one runs.
  RegistryFile edited = LoadRegistryFile(path);
  edited.SetValue(kUser, kSectionKey, "Theirs", RegistryValue::Dword(3));
  edited.SetValue(RegistryRoot::kLocalMachine, "SOFTWARE\\Else", "x", RegistryValue::String("y"));
  ASSERT_TRUE(SaveRegistryFile(edited, path));

  ASSERT_TRUE(profile.Commit());
  const RegistryFile file = LoadRegistryFile(path);
  EXPECT_EQ(file.QueryValue(kUser, kSectionKey, "Theirs"), RegistryValue::Dword(3));
  EXPECT_EQ(file.QueryValue(kUser, kSectionKey, "Mine"), RegistryValue::Dword(2));
  EXPECT_EQ(file.QueryValue(RegistryRoot::kLocalMachine, "SOFTWARE\\Else", "x"),
            RegistryValue::String("y"));
  EXPECT_NE(ReadFile(path).find("; kept\n"), std::string::npos);
}

TEST_F(RegistryProfileTest, AFileThatCantBeReadIsNeverReplaced) {
  fs::create_directories(path / "inside");
  FileProfile profile(path);
  profile.WriteProfileInt("Default Settings", "Save settings", 1);
  EXPECT_FALSE(profile.Commit());
  EXPECT_TRUE(fs::exists(path / "inside"));
}

TEST_F(RegistryProfileTest, AFifoADeviceOrAHugeFileIsNeitherReadNorReplaced) {
  fs::create_directories(path.parent_path());
  const std::vector<std::function<void()>> hostile = {
      [this] { ASSERT_EQ(::mkfifo(path.c_str(), 0600), 0); },
      [this] { fs::create_symlink("/dev/zero", path); },
      [this] {
        Store("REGEDIT4\n");
        fs::resize_file(path, kMaxRegistryFileSize + 1);  // sparse
      },
  };
  for (const auto& make : hostile) {
    make();
    const auto before = fs::symlink_status(path);
    FileProfile profile(path);  // returns at once
    EXPECT_EQ(profile.GetProfileInt("Default Settings", "Save settings", 7), 7);
    profile.WriteProfileInt("Default Settings", "Save settings", 1);
    EXPECT_FALSE(profile.Commit());
    EXPECT_EQ(fs::symlink_status(path).type(), before.type());
    fs::remove(path);
  }
}

// The other writer is this process; the saver is a child process.
TEST_F(RegistryProfileTest, ConcurrentSaversLoseNoUpdate) {
  Store("REGEDIT4\n");
  RegistryFile theirs = LoadRegistryFile(path);
  std::optional<RegistryFileLock> lock(std::in_place, path);
  ASSERT_TRUE(lock->Held());

  const pid_t saver = ::fork();
  if (saver == 0) {
    lock.reset();  // the child's copy only: the parent still holds the lock
    FileProfile profile(path);
    profile.WriteProfileInt("Default Settings", "Mine", 1);
    _exit(profile.Commit() ? 0 : 1);
  }
  ASSERT_GT(saver, 0);
  // The child's commit now waits for the lock; a write of its own while the
  // lock is held is the race it would otherwise lose.
  std::this_thread::sleep_for(std::chrono::milliseconds(300));
  theirs.SetValue(kUser, kSectionKey, "Theirs", RegistryValue::Dword(2));
  ASSERT_TRUE(SaveRegistryFile(theirs, path));
  lock.reset();

  int status = 0;
  ASSERT_EQ(::waitpid(saver, &status, 0), saver);
  EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
  const RegistryFile file = LoadRegistryFile(path);
  EXPECT_EQ(file.QueryValue(kUser, kSectionKey, "Theirs"), RegistryValue::Dword(2));
  EXPECT_EQ(file.QueryValue(kUser, kSectionKey, "Mine"), RegistryValue::Dword(1));
}

TEST_F(RegistryProfileTest, ASaveGoesAheadWhenTheLockIsHeldTooLong) {
  const RegistryFileLock hung(path);
  FileProfile profile(path, "dustral", std::chrono::milliseconds(50));
  profile.WriteProfileInt("Default Settings", "Save settings", 0);
  ASSERT_TRUE(profile.Commit());
  EXPECT_EQ(LoadRegistryFile(path).QueryValue(kUser, kSectionKey, "Save settings"),
            RegistryValue::Dword(0));
}

}  // namespace
