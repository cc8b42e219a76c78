#include "engine/sweep.h"

#include <fcntl.h>
#include <gmock/gmock.h>
#include <gtest/gtest.h>
#include <sys/mount.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <filesystem>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "engine/deletion.h"
#include "platform/posix/posix_file_system.h"
#include "testing/deep_chain.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;
using testing::ElementsAre;
using testing::IsEmpty;
using testing::UnorderedElementsAreArray;

namespace {

std::vector<std::string> Paths(const FileList& list) { return {list.begin(), list.end()}; }

std::string ParentOf(const std::string& path) { return path.substr(0, path.rfind('/')); }

bool IsWithin(const std::string& path, const std::string& directory) {
  return path == directory || path.starts_with(directory + "/");
}

// Checks the order of a recursive sweep without relying on the order in
// which a directory lists its entries: the files of one directory come in
// one run, a directory's files come before those of anything below it, and
// everything below a directory comes in one stretch (each sub-directory is
// finished before the next one is begun).
testing::AssertionResult IsDepthFirstPreOrder(const std::vector<std::string>& paths,
                                              const std::string& root) {
  std::vector<std::string> runs;  // the directory of each run of files
  for (const std::string& path : paths)
    if (runs.empty() || runs.back() != ParentOf(path)) runs.push_back(ParentOf(path));

  for (std::size_t i = 0; i < runs.size(); ++i)
    for (std::size_t j = i + 1; j < runs.size(); ++j) {
      if (runs[i] == runs[j])
        return testing::AssertionFailure() << "files of " << runs[i] << " are split";
      if (IsWithin(runs[i], runs[j]))
        return testing::AssertionFailure() << runs[j] << " comes after " << runs[i] << " below it";
    }

  std::set<std::string> subtrees;
  for (const std::string& run : runs)
    for (std::string directory = run; IsWithin(directory, root) && directory != root;
         directory = ParentOf(directory))
      subtrees.insert(directory);
  for (const std::string& subtree : subtrees) {
    std::vector<std::size_t> inside;
    for (std::size_t i = 0; i < runs.size(); ++i)
      if (IsWithin(runs[i], subtree)) inside.push_back(i);
    if (inside.back() - inside.front() + 1 != inside.size())
      return testing::AssertionFailure() << "what lies below " << subtree << " is interrupted";
  }
  return testing::AssertionSuccess();
}

// Runs `program` with `arguments` and `extraEnvironment` set; its exit
// status, or -1 when it didn't exit normally.
int RunProgram(const std::vector<std::string>& arguments, const char* extraEnvironment = nullptr) {
  const pid_t child = ::fork();
  if (child == 0) {
    if (extraEnvironment) ::putenv(const_cast<char*>(extraEnvironment));
    std::vector<char*> argv;
    for (const std::string& argument : arguments)
      argv.push_back(const_cast<char*>(argument.c_str()));
    argv.push_back(nullptr);
    const int devNull = ::open("/dev/null", O_RDWR);
    ::dup2(devNull, STDIN_FILENO);
    ::dup2(devNull, STDOUT_FILENO);
    ::execvp(argv[0], argv.data());
    ::_exit(127);
  }
  int status = 0;
  if (child < 0 || ::waitpid(child, &status, 0) != child || !WIFEXITED(status)) return -1;
  return WEXITSTATUS(status);
}

constexpr char kInMountNamespace[] = "DUSTRAL_IN_MOUNT_NAMESPACE=1";

// Runs the current test again, alone, in a process with a mount namespace of
// its own, where it may mount what it likes. False when no such namespace
// can be had here (then `reason` says why); otherwise the run's result is
// expected to be a pass.
bool RerunInPrivateMountNamespace(std::string& reason) {
  const char* flags = ::geteuid() == 0 ? "-m" : "-rm";
  if (RunProgram({"unshare", flags, "true"}) != 0) {
    reason = std::string("unshare ") + flags + " is not allowed here";
    return false;
  }
  const auto* test = testing::UnitTest::GetInstance()->current_test_info();
  const std::string filter =
      std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
  EXPECT_EQ(RunProgram({"unshare", flags, fs::read_symlink("/proc/self/exe").string(), filter},
                       kInMountNamespace),
            0);
  return true;
}

// Unmounts, at the end of a scope, what was mounted in it.
class ScopedMounts {
 public:
  ~ScopedMounts() {
    for (auto it = targets_.rbegin(); it != targets_.rend(); ++it)
      ::umount2(it->c_str(), MNT_DETACH);
  }
  bool Mount(const std::string& source, const std::string& target, const char* type,
             unsigned long flags) {
    fs::create_directories(target);
    if (::mount(source.c_str(), target.c_str(), type, flags, nullptr) != 0) return false;
    targets_.push_back(target);
    return true;
  }

 private:
  std::vector<std::string> targets_;
};

// The name of every directory of a chain.
constexpr char kLink[] = "twenty-four-bytes-a-link";

// A chain of `levels` directories below `root`, each holding f.tmp.
void MakeChain(const std::string& root, int levels) {
  fs::create_directories(root);
  int directory = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (int level = 0; level < levels && directory >= 0; ++level) {
    ::close(::openat(directory, "f.tmp", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    ::mkdirat(directory, kLink, 0755);
    const int below = ::openat(directory, kLink, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(directory);
    directory = below;
  }
  if (directory >= 0) ::close(directory);
}

// Sweeps and deletes every f.tmp below `root` with no more than 32 open
// descriptors; exits with 0 when all `expected` were gathered and deleted.
[[noreturn]] void CleanWithFewDescriptorsAndExit(FileSystem& files, const std::string& root,
                                                 std::size_t expected) {
  const rlimit few{32, 32};
  ::setrlimit(RLIMIT_NOFILE, &few);
  FileList gathered;
  SweepDirectory(files, gathered, root, "/*.tmp", 1);
  std::size_t deleted = 0;
  {
    ScopedFileBatch batch(files);
    for (std::size_t index = 0; index < gathered.Count(); ++index)
      if (DeleteListedFile(files, CleanSettings(), gathered.At(index),
                           gathered.ListedInAt(index)) == DeletionResult::kDeleted)
        ++deleted;
  }
  std::exit(gathered.Count() == expected && deleted == expected ? 0 : 1);
}

class SweepTest : public testing::Test {
 protected:
  // Files a.tmp, b.tmp and notes.txt in every directory of a tree three
  // levels deep with three sub-directories each; returns the .tmp files.
  std::vector<std::string> MakeTree(const std::string& directory, int depth) {
    std::vector<std::string> matching;
    for (const char* name : {"a.tmp", "B.TMP", "notes.txt"}) {
      WriteTestFile(directory + "/" + name);
      if (std::string(name) != "notes.txt") matching.push_back(directory + "/" + name);
    }
    if (depth == 0) return matching;
    for (const char* sub : {"one", "two.tmp", "three"}) {
      const auto below = MakeTree(directory + "/" + sub, depth - 1);
      matching.insert(matching.end(), below.begin(), below.end());
    }
    return matching;
  }

  ScopedTestHome home;
  PosixFileSystem files;
  FileList list;
};

TEST_F(SweepTest, WithoutRecursionOnlyTheDirectoryItself) {
  const std::string root = home.Path("tree");
  MakeTree(root, 2);
  SweepDirectory(files, list, root, "/*.tmp", 0);
  EXPECT_THAT(Paths(list), UnorderedElementsAreArray({root + "/a.tmp", root + "/B.TMP"}));
}

TEST_F(SweepTest, WithRecursionEveryLevelDepthFirstOwnFilesFirst) {
  const std::string root = home.Path("tree");
  const auto matching = MakeTree(root, 3);
  SweepDirectory(files, list, root, "/*.tmp", 1);
  // A directory named like a match is descended into, never gathered.
  EXPECT_THAT(Paths(list), UnorderedElementsAreArray(matching));
  EXPECT_TRUE(IsDepthFirstPreOrder(Paths(list), root));
}

TEST_F(SweepTest, EveryNameMatchesAnyExtension) {
  const std::string root = home.Path("tree");
  WriteTestFile(root + "/README");
  WriteTestFile(root + "/.profile");
  fs::create_directory(root + "/sub");
  SweepDirectory(files, list, root, "/*.*", 0);
  EXPECT_THAT(Paths(list), UnorderedElementsAreArray({root + "/README", root + "/.profile"}));
}

TEST_F(SweepTest, MissingDirectoryOrFileGivesNothing) {
  SweepDirectory(files, list, home.Path("missing"), "/*.*", 1);
  WriteTestFile(home.Path("plain.tmp"));
  SweepDirectory(files, list, home.Path("plain.tmp"), "/*.*", 1);
  EXPECT_THAT(Paths(list), IsEmpty());
}

TEST_F(SweepTest, LinksAreGatheredAsFilesAndNeverFollowed) {
  const std::string root = home.Path("tree");
  const std::string outside = home.Path("outside");
  WriteTestFile(outside + "/precious.tmp");
  WriteTestFile(root + "/sub/inner.tmp");
  fs::create_directory_symlink(outside, root + "/out.tmp");
  fs::create_directory_symlink(outside, root + "/out");
  fs::create_directory_symlink(root + "/sub", root + "/sub/loop");
  fs::create_symlink(outside + "/precious.tmp", root + "/file-link.tmp");
  fs::create_symlink(root + "/nowhere", root + "/dangling.tmp");

  SweepDirectory(files, list, root, "/*.tmp", 1);
  EXPECT_THAT(Paths(list),
              UnorderedElementsAreArray({root + "/out.tmp", root + "/file-link.tmp",
                                         root + "/dangling.tmp", root + "/sub/inner.tmp"}));
}

TEST_F(SweepTest, StrangeNamesAreGatheredAsTheyAre) {
  const std::string root = home.Path("tree");
  const std::vector<std::string> names = {
      "with space.tmp", "new\nline.tmp", "-rf.tmp",      "--help.tmp", "back\\slash.tmp",
      "caf\xe9.tmp",    "\xff\xfe.TMP",  "*.tmp",        "?.tmp",      " leading blank.tmp",
      "tab\there.tmp",  "quote\"'.tmp",  "$(echo x).tmp"};
  const std::string oddDirectory = root + "/odd \n\\dir -x";
  std::vector<std::string> expected;
  for (const std::string& name : names) {
    WriteTestFile(root + "/" + name);
    expected.push_back(root + "/" + name);
  }
  WriteTestFile(oddDirectory + "/inner.tmp");
  expected.push_back(oddDirectory + "/inner.tmp");

  SweepDirectory(files, list, root, "/*.tmp", 1);
  EXPECT_THAT(Paths(list), UnorderedElementsAreArray(expected));
}

TEST_F(SweepTest, UnreadableDirectoryIsPassedOver) {
  if (::geteuid() == 0) GTEST_SKIP() << "root reads every directory";
  const std::string root = home.Path("tree");
  WriteTestFile(root + "/locked/hidden.tmp");
  WriteTestFile(root + "/open/seen.tmp");
  ::chmod((root + "/locked").c_str(), 0);
  SweepDirectory(files, list, root, "/*.tmp", 1);
  EXPECT_THAT(Paths(list), ElementsAre(root + "/open/seen.tmp"));
}

TEST_F(SweepTest, OtherFileSystemsMountedInsideAreNeverEntered) {
  if (!std::getenv("DUSTRAL_IN_MOUNT_NAMESPACE")) {
    std::string reason;
    if (!RerunInPrivateMountNamespace(reason)) GTEST_SKIP() << reason;
    return;
  }
  const std::string root = home.Path("tree");
  WriteTestFile(root + "/own.tmp");
  WriteTestFile(root + "/sub/inner.tmp");
  WriteTestFile(home.Path("elsewhere/bound.tmp"));
  WriteTestFile(home.Path("sibling/beside.tmp"));
  ScopedMounts mounts;
  ASSERT_TRUE(mounts.Mount("none", root + "/ram", "tmpfs", 0));
  WriteTestFile(root + "/ram/foreign.tmp");
  WriteTestFile(root + "/ram/below/foreign.tmp");
  // From the same disk: only the mount tells them apart.
  ASSERT_TRUE(mounts.Mount(home.Path("elsewhere"), root + "/sub/bound", nullptr, MS_BIND));
  ASSERT_TRUE(mounts.Mount(home.Root().string(), root + "/parent", nullptr, MS_BIND));

  SweepDirectory(files, list, root, "/*.tmp", 1);
  EXPECT_THAT(Paths(list), UnorderedElementsAreArray({root + "/own.tmp", root + "/sub/inner.tmp"}));
  // A mount point may itself be where a sweep starts.
  FileList fromMountPoint;
  SweepDirectory(files, fromMountPoint, root + "/ram", "/*.tmp", 1);
  EXPECT_THAT(Paths(fromMountPoint), UnorderedElementsAreArray({root + "/ram/foreign.tmp",
                                                                root + "/ram/below/foreign.tmp"}));
}

TEST_F(SweepTest, ChainDeeperThanTheDescriptorLimitAndThePathLimitCleansFully) {
  // Its deepest paths are longer than the system takes at once, and one
  // open directory a level would pass the limit set below.
  constexpr int kLevels = 200;
  const std::string root = home.Path("chain");
  MakeChain(root, kLevels);
  EXPECT_EXIT(CleanWithFewDescriptorsAndExit(files, root, kLevels), testing::ExitedWithCode(0), "");
  EXPECT_EQ(RemoveChain(root, kLink), 0);
}

}  // namespace
