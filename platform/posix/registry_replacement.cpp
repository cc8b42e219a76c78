#include "platform/posix/registry_replacement.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/file.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

constexpr std::string_view kTemporarySuffix = ".tmp-";
constexpr std::size_t kUniqueLength = 6;  // the XXXXXX of mkostemp

bool WriteAll(int fd, std::string_view content) {
  while (!content.empty()) {
    const ssize_t written = ::write(fd, content.data(), content.size());
    if (written < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    content.remove_prefix(static_cast<std::size_t>(written));
  }
  return true;
}

void SyncDirectory(const fs::path& directory) {
  const int fd = ::open(directory.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  ::fsync(fd);
  ::close(fd);
}

fs::path DirectoryOf(const fs::path& target) {
  return target.has_parent_path() ? target.parent_path() : fs::path(".");
}

bool IsTemporaryName(std::string_view name, const std::string& prefix) {
  return name.size() == prefix.size() + kUniqueLength && name.starts_with(prefix);
}

// Removes the entry `name` of `dirFd` when it is a regular file whose lock
// can be taken: the writer that made it has died.
void RemoveWhenStale(int dirFd, const char* name) {
  const int fd = ::openat(dirFd, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_CLOEXEC);
  if (fd < 0) return;
  struct stat opened {};
  struct stat named {};
  if (::fstat(fd, &opened) == 0 && S_ISREG(opened.st_mode) && ::flock(fd, LOCK_EX | LOCK_NB) == 0 &&
      ::fstatat(dirFd, name, &named, AT_SYMLINK_NOFOLLOW) == 0 && named.st_dev == opened.st_dev &&
      named.st_ino == opened.st_ino)
    ::unlinkat(dirFd, name, 0);
  ::close(fd);
}

void RemoveStaleReplacements(const fs::path& directory, const fs::path& target) {
  DIR* dir = ::opendir(directory.c_str());
  if (!dir) return;
  const std::string prefix = target.filename().string() + std::string(kTemporarySuffix);
  while (const dirent* entry = ::readdir(dir)) {
    if (IsTemporaryName(entry->d_name, prefix)) RemoveWhenStale(::dirfd(dir), entry->d_name);
  }
  ::closedir(dir);
}

// A new temporary file, locked and still linked: a save that cleans up at
// the same moment may have taken the lock between the creation and ours,
// and removed the file.
int CreateLockedTemporary(std::vector<char>& name, const std::string& pattern) {
  for (int attempt = 0; attempt < 100; ++attempt) {
    name.assign(pattern.begin(), pattern.end());
    name.push_back('\0');
    const int fd = ::mkostemp(name.data(), O_CLOEXEC);
    if (fd < 0) return -1;
    struct stat info {};
    if (::flock(fd, LOCK_EX | LOCK_NB) == 0 && ::fstat(fd, &info) == 0 && info.st_nlink > 0)
      return fd;
    ::close(fd);
  }
  return -1;
}

}  // namespace

RegistryReplacement::RegistryReplacement(RegistryReplacement&& other) noexcept
    : path_(std::move(other.path_)), fd_(other.fd_) {
  other.fd_ = -1;
}

RegistryReplacement::~RegistryReplacement() {
  if (fd_ >= 0) ::close(fd_);
}

std::optional<RegistryReplacement> WriteRegistryReplacement(const fs::path& target,
                                                            std::string_view content) {
  const fs::path directory = DirectoryOf(target);
  std::error_code ignored;
  fs::create_directories(directory, ignored);
  RemoveStaleReplacements(directory, target);

  const std::string pattern = (directory / target.filename()).string() +
                              std::string(kTemporarySuffix) + std::string(kUniqueLength, 'X');
  std::vector<char> name;
  const int fd = CreateLockedTemporary(name, pattern);
  if (fd < 0) return std::nullopt;
  RegistryReplacement replacement(fs::path(name.data()), fd);

  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  if (!WriteAll(fd, content) || ::fsync(fd) != 0) {
    ::unlink(replacement.Path().c_str());
    return std::nullopt;
  }
  return replacement;
}

bool InstallRegistryReplacement(const RegistryReplacement& replacement, const fs::path& target) {
  if (::rename(replacement.Path().c_str(), target.c_str()) != 0) {
    ::unlink(replacement.Path().c_str());
    return false;
  }
  SyncDirectory(DirectoryOf(target));
  return true;
}
