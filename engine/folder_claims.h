#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

#include "engine/clean_plan_data.h"

// Hands the folders before the bin's to two deleting threads, each taking
// the next free one as it finishes its last, so that neither stands idle
// while the other still has far to go, whichever of them runs faster. A
// directory the plan holds more than once (reached by two entries, or files
// the user named) has all its folders kept by the first thread, so that its
// files still go in the plan's order.
class FolderClaims {
 public:
  FolderClaims(const CleanPlan::Data& plan, std::size_t folders);

  // Whether a second thread would have enough to do: neither what the first
  // thread keeps nor any one folder holds more than three quarters of the
  // files.
  bool WorthSharing() const { return worthSharing_; }
  // Whether only the first thread deletes the folder's files.
  bool KeptByFirst(std::size_t folder) const { return kept_[folder]; }
  // The next folder that is free to take; past the last when none is left.
  std::size_t Take();

 private:
  std::vector<bool> kept_;
  std::atomic<std::size_t> next_{0};
  bool worthSharing_ = false;
};
