// Reading and saving the registry file on a POSIX file system.

#include "platform/posix/registry_file_io.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <cstring>

#include "platform/posix/registry_replacement.h"

namespace fs = std::filesystem;

namespace {

// Where a save goes: a registry file that is a symbolic link (into a folder
// of dot files, say) is saved where the link points, so that the link
// stays. Nothing for a link that leads nowhere: writing there would put a
// plain file in the link's place.
std::optional<fs::path> SaveTarget(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_symlink(path, ec)) return path;
  fs::path resolved = fs::canonical(path, ec);
  if (ec) return std::nullopt;
  return resolved;
}

bool IsSymbolicLink(const fs::path& path) {
  struct stat info {};
  return ::lstat(path.c_str(), &info) == 0 && S_ISLNK(info.st_mode);
}

}  // namespace

std::optional<std::string> ReadRegistryBytes(const fs::path& path, std::string* whyNot) {
  const auto refuse = [whyNot](std::string why) {
    if (whyNot) *whyNot = std::move(why);
    return std::optional<std::string>();
  };
  // Opened without blocking, so that a FIFO in the file's place can't stall
  // the start; only a regular file is read, so that a link to a device
  // can't fill the memory.
  const int fd = ::open(path.c_str(), O_RDONLY | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
  if (fd < 0) {
    const int error = errno;
    if (error == ENOENT && IsSymbolicLink(path)) return refuse("dangling symbolic link");
    if (error == ENOENT) return std::string();
    return refuse(std::strerror(error));
  }
  std::optional<std::string> content;
  std::string why = "it could not be read whole";
  struct stat info {};
  if (::fstat(fd, &info) != 0) {
    why = std::strerror(errno);
  } else if (!S_ISREG(info.st_mode)) {
    why = "not a regular file";
  } else if (static_cast<std::uintmax_t>(info.st_size) > kMaxRegistryFileSize) {
    why = "larger than " + std::to_string(kMaxRegistryFileSize >> 20) + " MiB";
  } else {
    content.emplace();
    content->reserve(static_cast<std::size_t>(info.st_size));
    char buffer[65536];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got == 0) break;
      if (got < 0 && errno == EINTR) continue;
      // A file that grows past the bound while being read is refused too.
      if (got < 0 || content->size() + static_cast<std::size_t>(got) > kMaxRegistryFileSize) {
        content.reset();
        break;
      }
      content->append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  if (!content) return refuse(why);
  return content;
}

std::optional<RegistryFile> ReadRegistryFile(const fs::path& path) {
  const auto bytes = ReadRegistryBytes(path);
  if (!bytes) return std::nullopt;
  return RegistryFile::Parse(*bytes);
}

RegistryFile LoadRegistryFile(const fs::path& path) {
  auto file = ReadRegistryFile(path);
  return file ? std::move(*file) : RegistryFile();
}

bool WriteRegistryBytes(const fs::path& path, std::string_view content) {
  // No path is no place: the settings of a user without a home stay unsaved.
  if (path.empty()) return false;
  const std::optional<fs::path> target = SaveTarget(path);
  if (!target) return false;
  const auto replacement = WriteRegistryReplacement(*target, content);
  return replacement && InstallRegistryReplacement(*replacement, *target);
}

bool SaveRegistryFile(const RegistryFile& registry, const fs::path& path) {
  return WriteRegistryBytes(path, registry.Format());
}
