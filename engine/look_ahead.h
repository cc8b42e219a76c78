#pragma once

#include <atomic>
#include <cstddef>
#include <vector>

#include "engine/clean_plan_data.h"
#include "engine/second_thread.h"
#include "engine/watched_count.h"

// Looks at the files of a plan on a second thread, in the plan's order and
// at most `window` files before the one being deleted, while the first
// thread deletes them one after another. Only the look moves ahead: the
// deletions keep their order, and each follows its own file's look by at
// most the time it takes to delete `window` files.
//
// Only files of folders the sweep kept open are looked at here; the others
// are looked at by the deletion itself. A look that throws ends the looks:
// the next Take() throws it on the deleting thread.
class LookAhead {
 public:
  LookAhead(const CleanPlan::Data& plan, FileSystem& files, std::size_t window);
  ~LookAhead();
  LookAhead(const LookAhead&) = delete;
  LookAhead& operator=(const LookAhead&) = delete;

  // The look at `file`, waiting for it when the second thread is behind;
  // nullptr when its folder wasn't kept open. Files are taken in order,
  // each once, and stay valid until Done(file). Throws what a look threw.
  const FileStatus* Take(std::size_t file);
  // The deletion of `file` is over: its place can take a later file's look.
  void Done(std::size_t file);

 private:
  void LookAtEveryFile();
  void LookInOrder();
  // Waits until `file` fits in the window; false when stopping.
  bool WaitForRoom(std::size_t file);

  const CleanPlan::Data& plan_;
  FileSystem& files_;
  const std::size_t window_;
  const std::size_t step_;           // files deleted between two wake-ups of the second thread
  std::vector<FileStatus> looks_;    // file i at i % window_
  std::vector<unsigned char> kept_;  // whether that place holds a look
  WatchedCount looked_;              // files looked at (or passed over)
  // Files whose deletion is over, told only every `step_` files: the
  // second thread sleeps until then rather than waking for each file.
  WatchedCount freed_;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> failed_{false};  // a look threw: no more will come
  SecondThread thread_;              // last: it starts once the rest is ready
};
