#pragma once

#include <exception>
#include <functional>
#include <stop_token>
#include <thread>
#include <utility>

// Runs one task on a second thread and hands whatever it throws to the
// thread that joins it, so that a failure there ends the work as one on
// the first thread would: the exception reaches the caller, and what the
// callers own is released on the way out, instead of the process being
// ended.
//
// Leaving the owner's scope asks the task to stop (the token it is given)
// and waits for it; a failure nobody joined for is then dropped, since the
// first thread is already on its way out with one of its own.
class SecondThread {
 public:
  explicit SecondThread(std::function<void(std::stop_token)> task)
      : thread_([this, task = std::move(task)](std::stop_token stop) {
          try {
            task(std::move(stop));
          } catch (...) {
            // Read only after the join, which orders it after this write.
            failure_ = std::current_exception();
          }
        }) {}
  SecondThread(const SecondThread&) = delete;
  SecondThread& operator=(const SecondThread&) = delete;

  // Waits for the task to end, and throws here what it threw.
  void Join() {
    if (thread_.joinable()) thread_.join();
    if (failure_) std::rethrow_exception(failure_);
  }

 private:
  std::exception_ptr failure_;
  std::jthread thread_;  // last: it starts once the rest is ready
};
