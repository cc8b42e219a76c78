// Reading and saving the registry file on a POSIX file system.

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "platform/posix/registry_replacement.h"
#include "platform/registry_file.h"

namespace fs = std::filesystem;

namespace {

enum class ReadOutcome { kRead, kMissing, kFailed };

ReadOutcome ReadWholeFile(const fs::path& path, std::string& content) {
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
  if (fd < 0) return errno == ENOENT ? ReadOutcome::kMissing : ReadOutcome::kFailed;
  char buffer[65536];
  for (;;) {
    const ssize_t got = ::read(fd, buffer, sizeof buffer);
    if (got == 0) break;
    if (got < 0) {
      if (errno == EINTR) continue;
      ::close(fd);
      return ReadOutcome::kFailed;
    }
    content.append(buffer, static_cast<std::size_t>(got));
  }
  ::close(fd);
  return ReadOutcome::kRead;
}

// A registry file that is a symbolic link (into a folder of dot files, say)
// is saved where the link points, so that the link stays.
fs::path SaveTarget(const fs::path& path) {
  std::error_code ec;
  if (!fs::is_symlink(path, ec)) return path;
  fs::path resolved = fs::canonical(path, ec);
  return ec ? path : resolved;
}

}  // namespace

std::optional<RegistryFile> RegistryFile::ReadExisting(const fs::path& path) {
  std::string content;
  switch (ReadWholeFile(path, content)) {
    case ReadOutcome::kRead:
      return Parse(content);
    case ReadOutcome::kMissing:
      return RegistryFile();
    case ReadOutcome::kFailed:
      break;
  }
  return std::nullopt;
}

RegistryFile RegistryFile::Load(const fs::path& path) {
  auto file = ReadExisting(path);
  return file ? std::move(*file) : RegistryFile();
}

bool RegistryFile::Save(const fs::path& path) const {
  // No path is no place: the settings of a user without a home stay unsaved.
  if (path.empty()) return false;
  const fs::path target = SaveTarget(path);
  const auto replacement = WriteRegistryReplacement(target, Format());
  return replacement && InstallRegistryReplacement(*replacement, target);
}
