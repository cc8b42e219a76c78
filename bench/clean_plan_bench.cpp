// Measures the clean plan on a tree of FILES files (default 100,000), 100 to
// a directory, half of them *.tmp: the time of the sweep alone, of
// gathering an unguarded and a guarded plan (what a preview gathers), the
// bytes each plan takes a file beside its names, and the time of executing
// each kind on a fresh tree.
//
//   dustral_plan_bench [FILES [PARENT]]
//
// The trees are made in a fresh directory under PARENT (default $TMPDIR,
// else /tmp) and removed afterwards. Times are the median of 5 rounds.

#include <fcntl.h>
#include <malloc.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/clean_plan.h"
#include "engine/file_list.h"
#include "engine/sweep.h"
#include "platform/posix/posix_file_system.h"

namespace {

using namespace bench;

constexpr int kRounds = 5;

// Enough directories of kFilesPerDirectory for `files` files.
bool MakeTreeOf(const std::string& root, int files) {
  return MakeTree(root, (files + kFilesPerDirectory - 1) / kFilesPerDirectory);
}

std::size_t HeapInUse() { return mallinfo2().uordblks; }

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

double MedianSeconds(const std::function<void()>& run) {
  std::vector<double> times;
  for (int round = 0; round < kRounds; ++round) {
    const auto start = Clock::now();
    run();
    times.push_back(SecondsSince(start));
  }
  return Median(times);
}

// Walks and matches, and keeps nothing.
class Discarding : public SweepListener {
 public:
  std::uint32_t OnDirectory(std::uint32_t, std::string_view, std::string_view,
                            const DirectoryIdentity&, const std::shared_ptr<Directory>&) override {
    return 0;
  }
  void OnFile(std::string_view, std::uint64_t) override { ++files; }
  std::size_t files = 0;
};

CleanPlan Gather(FileSystem& files, const std::string& root, bool guard) {
  CleanLocations locations;
  const CleanSelection selection{{}, locations, {{0, root, "*.tmp", 1}}};
  return GatherCleanPlan(selection, CleanSettings(), files, guard);
}

// The same, with the attribute checks on the deleting thread only.
class OneThreadFileSystem : public PosixFileSystem {
 public:
  bool LooksFromAnotherThread() const override { return false; }
};

bool Measure(const std::string& work, int count) {
  const std::string root = work + "/tree";
  if (!MakeTreeOf(root, count) || !MakeTreeOf(work + "/one-thread", count) ||
      !MakeTreeOf(work + "/look-ahead", count))
    return false;
  ::sync();
  PosixFileSystem files;

  Discarding walk;
  Sweep(files, walk, root, "/*.tmp", 1);  // warms the cache
  const double walkSeconds = MedianSeconds([&] { Sweep(files, walk, root, "/*.tmp", 1); });
  const double listSeconds = MedianSeconds([&] {
    FileList list;
    SweepDirectory(files, list, root, "/*.tmp", 1);
  });
  const double unguardedSeconds = MedianSeconds([&] { Gather(files, root, false); });
  const double guardedSeconds = MedianSeconds([&] { Gather(files, root, true); });
  OneThreadFileSystem oneThread;
  const double guardedOneThreadSeconds = MedianSeconds([&] { Gather(oneThread, root, true); });

  std::size_t pathBytes = 0;
  std::size_t nameBytes = 0;
  std::size_t planned = 0;
  double bytesPerFile[2];
  for (const bool guard : {false, true}) {
    const std::size_t before = HeapInUse();
    const CleanPlan plan = Gather(files, root, guard);
    const std::size_t used = HeapInUse() - before;
    planned = plan.Count();
    pathBytes = nameBytes = 0;
    for (std::size_t index = 0; index < planned; ++index) {
      const std::string path = plan.PathAt(index);
      pathBytes += path.size();
      nameBytes += path.size() - path.rfind('/') - 1;
    }
    bytesPerFile[guard] = static_cast<double>(used) / planned;
  }

  std::printf("%zu of %d files planned, %.1f bytes of path and %.1f of name a file\n", planned,
              count, static_cast<double>(pathBytes) / planned,
              static_cast<double>(nameBytes) / planned);
  std::printf("sweep alone (walk and match)   %8.1f ms\n", walkSeconds * 1e3);
  std::printf("sweep into full paths (before) %8.1f ms\n", listSeconds * 1e3);
  std::printf("unguarded plan                 %8.1f ms  %.1f bytes a file (%.1f beside names)\n",
              unguardedSeconds * 1e3, bytesPerFile[0],
              bytesPerFile[0] - static_cast<double>(nameBytes) / planned);
  std::printf("guarded plan (preview)         %8.1f ms  %.1f bytes a file (%.1f beside paths)\n",
              guardedSeconds * 1e3, bytesPerFile[1],
              bytesPerFile[1] - static_cast<double>(pathBytes) / planned);
  std::printf("guarded plan, looks on one thread %5.1f ms\n", guardedOneThreadSeconds * 1e3);
  std::printf("guarded plan / sweep alone = %.2f, / sweep into full paths = %.2f\n",
              guardedSeconds / walkSeconds, guardedSeconds / listSeconds);

  bool allDeleted = true;
  struct Run {
    const char* what;
    std::string tree;
    FileSystem& files;
    bool guard;
  };
  for (const Run& run :
       {Run{"unguarded, checks on one thread", work + "/one-thread", oneThread, false},
        Run{"unguarded, checks looked at ahead", work + "/look-ahead", files, false},
        Run{"guarded", root, files, true}}) {
    const auto start = Clock::now();
    const CleanPlan plan = Gather(run.files, run.tree, run.guard);
    const double gathered = SecondsSince(start);
    const CleanReport report = ExecuteCleanPlan(plan, CleanSettings(), run.files);
    const double total = SecondsSince(start);
    std::printf("%-33s: gathered in %.1f ms, deleted %llu in %.1f ms, %.1f ms in all\n", run.what,
                gathered * 1e3, static_cast<unsigned long long>(report.deleted),
                (total - gathered) * 1e3, total * 1e3);
    allDeleted = allDeleted && report.deleted == static_cast<std::uint64_t>(planned);
  }
  return allDeleted;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string parent = argc > 2 ? argv[2] : (tmpdir && *tmpdir ? tmpdir : "/tmp");
  if (count <= 0) {
    std::fprintf(stderr, "usage: %s [FILES [PARENT]]\n", argv[0]);
    return 2;
  }
  // Entries name absolute paths only.
  const std::string work =
      FreshDirectoryUnder(std::filesystem::absolute(parent).string(), "dustral-plan-bench");
  if (work.empty()) {
    std::perror("cannot make a directory for the trees");
    return 1;
  }
  const bool measured = Measure(work, count);
  std::error_code ignored;
  std::filesystem::remove_all(work, ignored);
  return measured ? 0 : 1;
}
