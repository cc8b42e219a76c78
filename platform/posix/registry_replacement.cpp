#include "platform/posix/registry_replacement.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <string>
#include <vector>

namespace fs = std::filesystem;

namespace {

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

}  // namespace

std::optional<fs::path> WriteRegistryReplacement(const fs::path& target, std::string_view content) {
  const fs::path directory = DirectoryOf(target);
  std::error_code ignored;
  fs::create_directories(directory, ignored);

  std::string pattern = (directory / target.filename()).string() + ".tmp-XXXXXX";
  std::vector<char> name(pattern.begin(), pattern.end());
  name.push_back('\0');
  const int fd = ::mkostemp(name.data(), O_CLOEXEC);
  if (fd < 0) return std::nullopt;
  const fs::path replacement(name.data());

  struct stat old {};
  if (::stat(target.c_str(), &old) == 0) ::fchmod(fd, old.st_mode & 07777);

  const bool written = WriteAll(fd, content) && ::fsync(fd) == 0;
  const bool closed = ::close(fd) == 0;
  if (!written || !closed) {
    ::unlink(replacement.c_str());
    return std::nullopt;
  }
  return replacement;
}

bool InstallRegistryReplacement(const fs::path& replacement, const fs::path& target) {
  if (::rename(replacement.c_str(), target.c_str()) != 0) {
    ::unlink(replacement.c_str());
    return false;
  }
  SyncDirectory(DirectoryOf(target));
  return true;
}
