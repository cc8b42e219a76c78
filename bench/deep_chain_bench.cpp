// Measures a recursive sweep for "*.tmp" and the guarded deletion of what it
// gathered on a chain of nested directories, and counts the descriptors
// open at the busiest moment.
//
//   dustral_deep_bench [LEVELS [EVERY [PARENT]]]
//
// The chain has LEVELS directories (default 10,000), one inside the other,
// with a file at every EVERY-th level (default 1) and at the bottom; it is
// made in a fresh directory under PARENT (default $TMPDIR, else /tmp) and
// removed afterwards. The sweep is timed once as it is and once again while
// counting the entries of /proc/self/fd at each directory it opens; the
// deletion counts them after every 16th file.

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <vector>

#include "bench/bench_support.h"
#include "engine/deletion.h"
#include "engine/file_list.h"
#include "engine/sweep.h"
#include "platform/posix/posix_file_system.h"
#include "testing/deep_chain.h"

namespace {

constexpr char kName[] = "d";

using namespace bench;

int OpenDescriptors() {
  DIR* fds = ::opendir("/proc/self/fd");
  if (!fds) return -1;
  int count = 0;
  while (const dirent* entry = ::readdir(fds))
    if (entry->d_name[0] != '.') ++count;
  ::closedir(fds);
  return count - 1;  // the listing's own
}

int peakDescriptors = 0;
void NoteDescriptors() { peakDescriptors = std::max(peakDescriptors, OpenDescriptors()); }

// Counts the open descriptors whenever the sweep opens a directory.
class CountingDirectory : public Directory {
 public:
  explicit CountingDirectory(std::unique_ptr<Directory> inner) : inner_(std::move(inner)) {
    NoteDescriptors();
  }
  static std::unique_ptr<Directory> Wrap(std::unique_ptr<Directory> inner) {
    if (!inner) return nullptr;
    return std::make_unique<CountingDirectory>(std::move(inner));
  }
  bool Next(DirectoryEntry& entry) override { return inner_->Next(entry); }
  std::unique_ptr<Directory> OpenSubdirectory(std::string_view name) override {
    return Wrap(inner_->OpenSubdirectory(name));
  }
  std::unique_ptr<Directory> OpenParent() override { return Wrap(inner_->OpenParent()); }
  std::optional<DirectoryIdentity> Identity() override { return inner_->Identity(); }
  std::optional<std::uint64_t> Mount() override { return inner_->Mount(); }

 private:
  std::unique_ptr<Directory> inner_;
};

class CountingFileSystem : public PosixFileSystem {
 public:
  std::unique_ptr<Directory> OpenDirectory(const std::string& path) override {
    return CountingDirectory::Wrap(PosixFileSystem::OpenDirectory(path));
  }
};

bool MakeChain(const std::string& root, long levels, long every) {
  if (::mkdir(root.c_str(), 0755) != 0) return false;
  int directory = ::open(root.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  for (long level = 0; level < levels && directory >= 0; ++level) {
    if (level % every == 0 || level == levels - 1)
      ::close(::openat(directory, "f.tmp", O_CREAT | O_WRONLY | O_CLOEXEC, 0644));
    if (level == levels - 1) break;
    if (::mkdirat(directory, kName, 0755) != 0) return false;
    const int below = ::openat(directory, kName, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    ::close(directory);
    directory = below;
  }
  if (directory < 0) return false;
  ::close(directory);
  return true;
}

}  // namespace

int main(int argc, char** argv) {
  const long levels = argc > 1 ? std::atol(argv[1]) : 10000;
  const long every = argc > 2 ? std::max(1L, std::atol(argv[2])) : 1;
  const char* tmpdir = std::getenv("TMPDIR");
  const std::string parent = argc > 3 ? argv[3] : (tmpdir && *tmpdir ? tmpdir : "/tmp");
  if (levels < 1) {
    std::fprintf(stderr, "usage: %s [LEVELS [EVERY [PARENT]]]\n", argv[0]);
    return 2;
  }
  const std::string work = FreshDirectoryUnder(parent, "dustral-deep");
  if (work.empty()) {
    std::perror("cannot make a directory for the chain");
    return 1;
  }
  const std::string root = work + "/chain";
  const long files = (levels - 1) / every + 1 + ((levels - 1) % every != 0);

  auto start = Clock::now();
  const bool made = MakeChain(root, levels, every);
  std::printf("made a chain of %ld levels with %ld files under %s in %.1f s\n", levels, files,
              work.c_str(), SecondsSince(start));
  if (!made) {
    RemoveChain(root, kName);
    ::rmdir(work.c_str());
    return 1;
  }

  PosixFileSystem plain;
  start = Clock::now();
  FileList gathered;
  SweepDirectory(plain, gathered, root, "/*.tmp", 1);
  const double sweepSeconds = SecondsSince(start);

  CountingFileSystem counting;
  peakDescriptors = OpenDescriptors();
  const int before = peakDescriptors;
  FileList again;
  SweepDirectory(counting, again, root, "/*.tmp", 1);
  const int sweepPeak = peakDescriptors;

  const CleanSettings settings;
  std::size_t deleted = 0;
  peakDescriptors = OpenDescriptors();
  start = Clock::now();
  {
    ScopedFileBatch batch(plain);
    for (std::size_t index = 0; index < gathered.Count(); ++index) {
      if (DeleteListedFile(plain, settings, gathered.At(index), gathered.ListedInAt(index)) ==
          DeletionResult::kDeleted)
        ++deleted;
      if (index % 16 == 0) NoteDescriptors();
    }
    NoteDescriptors();
  }
  const double deleteSeconds = SecondsSince(start);

  std::printf("gathered %zu files in %.3f s (again while counting: %zu)\n", gathered.Count(),
              sweepSeconds, again.Count());
  std::printf("deleted %zu in %.3f s\n", deleted, deleteSeconds);
  std::printf("open descriptors: %d before, at most %d while sweeping, %d while deleting\n", before,
              sweepPeak, peakDescriptors);
  std::printf("longest path %zu bytes; peak memory %ld KiB\n",
              gathered.Count() ? gathered.At(gathered.Count() - 1).size() : 0, PeakMemoryKiB());
  const long left = RemoveChain(root, kName);
  ::rmdir(work.c_str());
  const bool whole = gathered.Count() == static_cast<std::size_t>(files) &&
                     deleted == gathered.Count() && left == 0;
  if (!whole) std::printf("NOT CLEAN: expected %ld files, %ld left\n", files, left);
  return whole ? 0 : 1;
}
