// Measures what leaving files in use alone costs a clean: the finding
// itself (every process's descriptors and mappings in /proc), and gathering
// and executing a plan with the check against the same without it, on
// fresh trees of FILES files (default 100,000), 100 to a directory, half
// of them *.tmp, one of which a second process holds open (so that the
// tree's device has a file in use). Three kinds of run: unguarded with
// every option on (files removed without a look), unguarded with the
// options off (each file looked at, ahead on a second thread) and guarded.
// The two contenders alternate; times are medians of ROUNDS (default 5).
//
//   dustral_in_use_bench [FILES [ROUNDS [PARENT]]]

#include <fcntl.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/clean_plan.h"
#include "platform/posix/linux_files_in_use.h"
#include "platform/posix/posix_file_system.h"

namespace {

using namespace bench;

// The same file system, with no finding of files in use.
class WithoutFinding : public PosixFileSystem {
 public:
  std::shared_ptr<FilesInUse> FindFilesInUse() override { return nullptr; }
};

// Processor time of every thread of this process so far, user and system.
double ProcessorSeconds() {
  rusage usage{};
  ::getrusage(RUSAGE_SELF, &usage);
  return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
         static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) * 1e-6;
}

double Median(std::vector<double> values) {
  std::sort(values.begin(), values.end());
  return values[values.size() / 2];
}

// A child that holds `path` open until killed; its process id.
pid_t HoldOpen(const std::string& path) {
  int ready[2];
  if (::pipe(ready) != 0) return -1;
  const pid_t child = ::fork();
  if (child == 0) {
    if (::open(path.c_str(), O_RDONLY) < 0 || ::write(ready[1], "x", 1) != 1) ::_exit(1);
    for (;;) ::pause();
  }
  ::close(ready[1]);
  char signal = 0;
  const bool holding = ::read(ready[0], &signal, 1) == 1;
  ::close(ready[0]);
  return holding ? child : -1;
}

struct Kind {
  const char* what;
  bool guard;
  bool allowAll;
};

bool Measure(const std::string& work, int count, int rounds) {
  std::vector<double> finding, findingProcessor;
  bool found = false;
  for (int round = 0; round < rounds; ++round) {
    const auto start = Clock::now();
    const double processor = ProcessorSeconds();
    LinuxFilesInUse files;
    found = files.Any();
    finding.push_back(SecondsSince(start));
    findingProcessor.push_back(ProcessorSeconds() - processor);
  }
  std::printf("finding the files in use alone: %.1f ms, %.1f ms of processor (medians of %d)\n",
              Median(finding) * 1e3, Median(findingProcessor) * 1e3, rounds);

  PosixFileSystem checking;
  WithoutFinding plain;
  const int directories = (count + kFilesPerDirectory - 1) / kFilesPerDirectory;
  int tree = 0;
  bool sound = true;
  for (const Kind& kind :
       {Kind{"unguarded, every option on", false, true},
        Kind{"unguarded, options off", false, false}, Kind{"guarded", true, false}}) {
    CleanSettings options;
    options.m_bDelHiddenFiles = options.m_bDelReadOnlyFiles = options.m_bDelSystemFiles =
        kind.allowAll;
    std::vector<double> seconds[2], processor[2];
    for (int round = 0; round < rounds; ++round) {
      for (int turn = 0; turn < 2; ++turn) {
        const bool check = (turn + round) % 2 == 0;
        const std::string root = work + "/tree" + std::to_string(tree++);
        if (!MakeTree(root, directories)) return false;
        const pid_t holder = HoldOpen(root + "/dir00000/file000.tmp");
        if (holder < 0) return false;
        CleanLocations locations;
        const CleanSelection selection{
            [](ControlId) { return false; }, locations, {CleanEntry{0, root, "*.tmp", 1}}};
        FileSystem& files = check ? static_cast<FileSystem&>(checking) : plain;
        const auto start = Clock::now();
        const double processorBefore = ProcessorSeconds();
        const CleanPlan plan = GatherCleanPlan(selection, options, files, kind.guard);
        const CleanReport report = ExecuteCleanPlan(plan, options, files);
        seconds[check].push_back(SecondsSince(start));
        processor[check].push_back(ProcessorSeconds() - processorBefore);
        ::kill(holder, SIGKILL);
        ::waitpid(holder, nullptr, 0);
        sound = sound && report.inUse == (check ? 1u : 0u) &&
                report.deleted + report.inUse == plan.Count();
        std::error_code ignored;
        std::filesystem::remove_all(root, ignored);
      }
    }
    const double without = Median(seconds[0]), with = Median(seconds[1]);
    std::printf(
        "%-28s without %7.1f ms, with the check %7.1f ms: %.3fx wall;"
        " processor %.1f against %.1f ms\n",
        kind.what, without * 1e3, with * 1e3, with / without, Median(processor[1]) * 1e3,
        Median(processor[0]) * 1e3);
  }
  std::printf("(the finding alone found %s file in use on this machine)\n", found ? "some" : "no");
  return sound;
}

}  // namespace

int main(int argc, char** argv) {
  const int count = argc > 1 ? std::atoi(argv[1]) : 100000;
  const int rounds = argc > 2 ? std::atoi(argv[2]) : 5;
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string parent = argc > 3 ? argv[3] : (tmpdir && *tmpdir ? tmpdir : "/tmp");
  if (count <= 0 || rounds <= 0) {
    std::fprintf(stderr, "usage: %s [FILES [ROUNDS [PARENT]]]\n", argv[0]);
    return 2;
  }
  const std::string work =
      FreshDirectoryUnder(std::filesystem::absolute(parent).string(), "dustral-in-use-bench");
  if (work.empty()) {
    std::perror("cannot make a directory for the trees");
    return 1;
  }
  const bool measured = Measure(work, count, rounds);
  std::error_code ignored;
  std::filesystem::remove_all(work, ignored);
  if (!measured) std::fprintf(stderr, "a run did not delete what it should\n");
  return measured ? 0 : 1;
}
