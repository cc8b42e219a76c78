// Reading and saving the registry file on a POSIX file system.

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/registry_replacement.h"
#include "platform/registry_file.h"

namespace fs = std::filesystem;

namespace {

// A registry file that is a symbolic link (into a folder of dot files, say)
// is saved where the link points, so that the link stays.
fs::path SaveTarget(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_symlink(path, ec)) return path;
  fs::path resolved = fs::canonical(path, ec);
  return ec ? path : resolved;
}

}  // namespace

std::optional<std::string> RegistryFile::ReadBytes(const fs::path& path) {
  // Opened without blocking, so that a FIFO in the file's place can't stall
  // the start; only a regular file is read, so that a link to a device
  // can't fill the memory.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? std::optional<std::string>("") : std::nullopt;
  std::optional<std::string> content;
  struct stat info {};
  if (::fstat(fd, &info) == 0 && S_ISREG(info.st_mode) &&
      static_cast<std::uintmax_t>(info.st_size) <= kMaxFileSize) {
    content.emplace();
    content->reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got == 0) break;
      if (got < 0 && errno == EINTR) continue;
      // A file that grows past the bound while being read is refused too.
      if (got < 0 || content->size() + static_cast<std::size_t>(got) > kMaxFileSize) {
        content.reset();
        break;
      }
      content->append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  return content;
}

std::optional<RegistryFile> RegistryFile::ReadExisting(const fs::path& path) {
  const auto bytes = ReadBytes(path);
  if (!bytes) return std::nullopt;
  return Parse(*bytes);
}

RegistryFile RegistryFile::Load(const fs::path& path) {
  auto file = ReadExisting(path);
  return file ? std::move(*file) : RegistryFile();
}

bool RegistryFile::WriteBytes(const fs::path& path, std::string_view content) {
  // No path is no place: the settings of a user without a home stay unsaved.
  if (path.empty()) return false;
  const fs::path target = SaveTarget(path);
  const auto replacement = WriteRegistryReplacement(target, content);
  return replacement && InstallRegistryReplacement(*replacement, target);
}

bool RegistryFile::Save(const fs::path& path) const { return WriteBytes(path, Format()); }
