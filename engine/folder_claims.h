#pragma once

#include <atomic>
#include <cstddef>

#include "engine/clean_plan_data.h"

// Hands the folders before the bin's to two deleting threads, each taking
// the next free one as it finishes its last, so that neither stands idle
// while the other still has far to go, whichever of them runs faster. The
// first thread keeps for itself every folder of a directory the plan holds
// more than once (reached by two entries, or also by a file the user
// named), so that its files still go in the plan's order, and every file
// the user named, whose directory may be unknown.
class FolderClaims {
 public:
  FolderClaims(const CleanPlan::Data& plan, std::size_t folders);

  // Whether a second thread would have enough to do: neither what the first
  // thread keeps nor any one folder holds more than three quarters of the
  // files.
  bool WorthSharing() const { return worthSharing_; }
  // Whether only the first thread deletes the folder's files.
  bool KeptByFirst(std::size_t folder) const {
    return plan_.folders[folder].repeated || plan_.folders[folder].named;
  }
  // The next folder that is free to take; past the last when none is left.
  std::size_t Take();

 private:
  const CleanPlan::Data& plan_;
  const std::size_t folders_;
  std::atomic<std::size_t> next_{0};
  bool worthSharing_ = false;
};
