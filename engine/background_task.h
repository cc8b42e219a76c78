#pragma once

#include <condition_variable>
#include <functional>
#include <mutex>
#include <thread>
#include <utility>

// One task at a time on a second thread: the caller starts it, goes on with
// its own work, and waits for it before it uses what the task made.
class BackgroundTask {
 public:
  BackgroundTask() : thread_([this] { Serve(); }) {}
  ~BackgroundTask() {
    {
      std::lock_guard lock(mutex_);
      stopping_ = true;
    }
    changed_.notify_all();
    thread_.join();
  }
  BackgroundTask(const BackgroundTask&) = delete;
  BackgroundTask& operator=(const BackgroundTask&) = delete;

  // The previous task must have been waited for.
  void Start(std::function<void()> task) {
    {
      std::lock_guard lock(mutex_);
      task_ = std::move(task);
    }
    changed_.notify_all();
  }

  void Wait() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [this] { return !task_; });
  }

 private:
  void Serve() {
    std::unique_lock lock(mutex_);
    for (;;) {
      changed_.wait(lock, [this] { return task_ || stopping_; });
      if (!task_) return;
      lock.unlock();
      task_();
      lock.lock();
      task_ = nullptr;
      changed_.notify_all();
    }
  }

  std::mutex mutex_;
  std::condition_variable changed_;
  std::function<void()> task_;  // empty when none is running
  bool stopping_ = false;
  std::thread thread_;  // last: it starts once the rest is ready
};
