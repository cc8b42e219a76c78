#pragma once

#include <atomic>
#include <cstddef>
#include <cstdint>
#include <mutex>
#include <string>
#include <thread>
#include <utility>
#include <vector>

#include "platform/files_in_use.h"

// FilesInUse on Linux, read from /proc: the regular files each process
// holds open (/proc/<pid>/fd) or has mapped (/proc/<pid>/maps, each file
// looked at once through /proc/<pid>/map_files where the system allows it). Only processes whose
// /proc entries this one may read count: the user's own, or every one for root. This process is
// left out, so that the directories and files it holds itself never count.
// The finding starts on a thread of its own when this is made; the first
// question shares what is left of it.
class LinuxFilesInUse : public FilesInUse {
 public:
  LinuxFilesInUse();
  ~LinuxFilesInUse() override;
  LinuxFilesInUse(const LinuxFilesInUse&) = delete;
  LinuxFilesInUse& operator=(const LinuxFilesInUse&) = delete;

  bool Has(std::uint64_t device, std::uint64_t inode) override;
  bool AnyOn(std::uint64_t device) override;
  bool Any() override;

 private:
  class MappedFiles;
  using FileId = std::pair<std::uint64_t, std::uint64_t>;  // device, inode

  // Adds what the processes not yet taken hold to `found`, one process at a
  // time: the finding's thread, and the first to wait for it, share them.
  void LookAtProcesses(std::vector<FileId>& found);
  void WaitForTheFinding();

  const int proc_;                            // /proc, open while the finding lasts
  const std::vector<std::string> processes_;  // their ids, listed when this is made
  std::atomic<std::size_t> next_{0};          // the first process not taken
  std::vector<FileId> foundThere_;            // by the finding's thread
  std::vector<FileId> found_;                 // sorted once the finding ends
  std::vector<std::uint64_t> devices_;        // of found_, sorted
  std::once_flag joined_;
  std::thread thread_;  // last: it starts once the rest is ready
};
