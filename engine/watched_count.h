#pragma once

#include <atomic>
#include <condition_variable>
#include <cstddef>
#include <mutex>

// A count that one thread raises and another waits on. Reading it takes no
// lock. The waiting goes through a condition variable rather than
// std::atomic's own wait, whose fallback where the system has no futex (as
// in the Windows build's standard library) could miss a wake-up and leave a
// clean hanging.
class WatchedCount {
 public:
  std::size_t Load() const { return value_.load(std::memory_order_acquire); }

  void Store(std::size_t value) {
    {
      std::lock_guard lock(mutex_);
      value_.store(value, std::memory_order_release);
    }
    changed_.notify_all();
  }

  // Returns once the count is no longer `seen`.
  void WaitWhile(std::size_t seen) {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return value_.load(std::memory_order_acquire) != seen; });
  }

 private:
  std::atomic<std::size_t> value_{0};
  std::mutex mutex_;
  std::condition_variable changed_;
};
