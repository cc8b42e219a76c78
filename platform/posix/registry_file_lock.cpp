#include "platform/posix/registry_file_lock.h"

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <thread>

namespace fs = std::filesystem;

fs::path RegistryFileLock::LockFilePath(const fs::path& file) {
  fs::path lock = file;
  lock += ".lock";
  return lock;
}

RegistryFileLock::RegistryFileLock(const fs::path& file, std::chrono::milliseconds wait) {
  if (file.empty()) return;  // no file, nothing to lock
  const fs::path lock = LockFilePath(file);
  std::error_code ignored;
  if (lock.has_parent_path()) fs::create_directories(lock.parent_path(), ignored);
  fd_ = ::open(lock.c_str(), O_RDWR | O_CREAT | O_CLOEXEC | O_NOFOLLOW | O_NONBLOCK, 0644);
  if (fd_ < 0) return;

  // Polled rather than blocking, so that the wait is bounded without
  // signals.
  const auto deadline = std::chrono::steady_clock::now() + wait;
  auto pause = std::chrono::milliseconds(2);
  for (;;) {
    if (::flock(fd_, LOCK_EX | LOCK_NB) == 0) {
      held_ = true;
      return;
    }
    if (errno == EINTR) continue;
    if (errno != EWOULDBLOCK) return;
    const auto now = std::chrono::steady_clock::now();
    if (now >= deadline) return;
    std::this_thread::sleep_for(
        std::min<std::chrono::steady_clock::duration>(pause, deadline - now));
    pause = std::min(pause * 2, std::chrono::milliseconds(50));
  }
}

RegistryFileLock::~RegistryFileLock() {
  if (fd_ >= 0) ::close(fd_);  // releases the lock
}
