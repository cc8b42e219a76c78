// Measures a clean as the window runs it (a recursive sweep for "*.tmp"
// gathered into a plan, then the plan executed) on a tree of 100,000 files
// in 1,000 directories, half of them *.tmp.
//
//   dustral_bench [PARENT]   makes the tree in a fresh directory under PARENT
//                            (default $TMPDIR, else /tmp), cleans it, removes it
//   dustral_bench make DIR [DIRECTORIES]
//                            only makes the tree in DIR (bench/compare.sh); with
//                            DIRECTORIES, that many directories of 100 files
//                            each instead of 1,000 (bench/whole_program.sh)
//   dustral_bench clean DIR  only sweeps and deletes in DIR (bench/compare.sh)

#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/clean_plan.h"
#include "platform/posix/posix_file_system.h"

namespace {

using namespace bench;

constexpr int kDirectories = 1000;

bool Clean(const std::string& root) {
  PosixFileSystem files;
  const CleanSettings settings;
  CleanLocations locations;
  // As the window's clean run: a plan gathered unguarded, then executed.
  const CleanSelection selection{{}, locations, {{0, root, "*.tmp", 1}}};

  const auto start = Clock::now();
  const CleanPlan gathered = GatherCleanPlan(selection, settings, files, /*guard=*/false);
  const double sweepSeconds = SecondsSince(start);

  const std::size_t deleted = ExecuteCleanPlan(gathered, settings, files).deleted;
  const double totalSeconds = SecondsSince(start);

  std::printf("gathered %zu files in %.3f s, deleted %zu in %.3f s\n", gathered.Count(),
              sweepSeconds, deleted, totalSeconds - sweepSeconds);
  std::printf("%.0f files per second (sweep and deletion, %.3f s)\n", deleted / totalSeconds,
              totalSeconds);
  std::printf("peak memory %ld KiB\n", PeakMemoryKiB());
  // Every *.tmp file, whatever the size of the tree.
  return deleted == gathered.Count();
}

}  // namespace

int main(int argc, char** argv) {
  const std::vector<std::string> args(argv + 1, argv + argc);
  if (args.size() == 2 && args[0] == "make") return MakeTree(args[1], kDirectories) ? 0 : 1;
  if (args.size() == 3 && args[0] == "make") {
    const int directories = std::atoi(args[2].c_str());
    return directories > 0 && MakeTree(args[1], directories) ? 0 : 1;
  }
  if (args.size() == 2 && args[0] == "clean")
    return Clean(std::filesystem::absolute(args[1]).string()) ? 0 : 1;
  if (args.size() > 1) {
    std::fprintf(stderr, "usage: %s [PARENT] | make DIR [DIRECTORIES] | clean DIR\n", argv[0]);
    return 2;
  }

  const char* tmpdir = std::getenv("TMPDIR");
  const std::string parent = !args.empty() ? args[0] : (tmpdir && *tmpdir ? tmpdir : "/tmp");
  const std::string root = FreshDirectoryUnder(parent, "dustral-bench");
  if (root.empty()) {
    std::perror("cannot make a directory for the tree");
    return 1;
  }
  const auto start = Clock::now();
  const bool made = MakeTree(root + "/tree", kDirectories);
  std::printf("made %d files in %d directories under %s in %.3f s\n",
              kDirectories * kFilesPerDirectory, kDirectories, root.c_str(), SecondsSince(start));
  const bool cleaned = made && Clean(std::filesystem::absolute(root + "/tree").string());
  std::error_code ignored;
  std::filesystem::remove_all(root, ignored);
  return cleaned ? 0 : 1;
}
