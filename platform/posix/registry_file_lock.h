#pragma once

#include <chrono>
#include <filesystem>

// The lock that writers of the registry file share. A writer takes an
// exclusive flock(2) on the file "<registry file>.lock" beside it (created
// when missing, never removed) before it reads the file for an update, and
// releases it only after its new file has been renamed over the old one;
// so a writer never replaces the file with a copy that lacks what another
// saved meanwhile. Readers take no lock: the file is only ever replaced
// whole. Other programs that write the file should take the same lock.
class RegistryFileLock {
 public:
  // How long a save waits for the lock. A writer that holds it longer is
  // taken to be hung: the save then goes on without it rather than lose the
  // user's settings.
  static constexpr std::chrono::milliseconds kWait{10000};

  // Waits up to `wait` for the lock of the registry file at `file`.
  explicit RegistryFileLock(const std::filesystem::path& file,
                            std::chrono::milliseconds wait = kWait);
  ~RegistryFileLock();
  RegistryFileLock(const RegistryFileLock&) = delete;
  RegistryFileLock& operator=(const RegistryFileLock&) = delete;

  // False when the wait ran out or the lock file couldn't be opened.
  bool Held() const { return held_; }

  static std::filesystem::path LockFilePath(const std::filesystem::path& file);

 private:
  int fd_ = -1;
  bool held_ = false;
};
