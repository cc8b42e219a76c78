#include "platform/posix/posix_directory_walk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

// Besides the starting directory.
constexpr std::size_t kHeldDirectories = 16;

// A descriptor that only names a directory: it needs no read permission.
#ifdef O_PATH
constexpr int kHandleFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kHandleFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

std::optional<DirectoryIdentity> IdentityOf(int fd) {
  struct stat status;
  if (::fstat(fd, &status) != 0) return std::nullopt;
  return DirectoryIdentity{static_cast<std::uint64_t>(status.st_dev),
                           static_cast<std::uint64_t>(status.st_ino)};
}

// The names of `path` in order, empty ones (from doubled separators) left
// out.
std::vector<std::string_view> NamesOf(std::string_view path) {
  std::vector<std::string_view> names;
  std::size_t start = 0;
  while (start <= path.size()) {
    std::size_t end = path.find('/', start);
    if (end == std::string_view::npos) end = path.size();
    if (end > start) names.push_back(path.substr(start, end - start));
    start = end + 1;
  }
  return names;
}

}  // namespace

void PosixDirectoryWalk::Clear() {
  for (const Step& step : steps_)
    if (step.fd >= 0) ::close(step.fd);
  steps_.clear();
  reached_.clear();
}

bool PosixDirectoryWalk::Start(bool absolute) {
  Clear();
  absolute_ = absolute;
  const int fd = ::open(absolute ? "/" : ".", kHandleFlags);
  if (fd < 0) return false;
  const auto identity = IdentityOf(fd);
  if (!identity) {
    ::close(fd);
    return false;
  }
  steps_.push_back({"", fd, *identity});
  return true;
}

// Leaves the deepest directory for the one it was entered from, opening
// that again if it was closed.
bool PosixDirectoryWalk::Climb() {
  Step left = std::move(steps_.back());
  steps_.pop_back();
  Step& back = steps_.back();
  if (back.fd < 0 && left.fd >= 0) {
    back.fd = ::openat(left.fd, "..", kHandleFlags);
    if (back.fd >= 0 && IdentityOf(back.fd) != back.identity) {
      ::close(back.fd);
      back.fd = -1;
    }
  }
  if (left.fd >= 0) ::close(left.fd);
  return back.fd >= 0;
}

bool PosixDirectoryWalk::Enter(std::string_view name) {
  const std::string terminated(name);
  const int fd = ::openat(steps_.back().fd, terminated.c_str(), kHandleFlags);
  if (fd < 0) return false;
  const auto identity = IdentityOf(fd);
  if (!identity) {
    ::close(fd);
    return false;
  }
  steps_.push_back({terminated, fd, *identity});
  // Only the deepest stay open; they are the ones the next path most
  // likely shares.
  if (steps_.size() > kHeldDirectories + 1) {
    Step& oldest = steps_[steps_.size() - kHeldDirectories - 1];
    if (oldest.fd >= 0 && &oldest != &steps_.front()) {
      ::close(oldest.fd);
      oldest.fd = -1;
    }
  }
  return true;
}

int PosixDirectoryWalk::Reach(std::string_view directory,
                              std::optional<DirectoryIdentity>& identity) {
  identity.reset();
  // Files of one directory come one after another.
  if (!steps_.empty() && directory == reached_) {
    identity = steps_.back().identity;
    return steps_.back().fd;
  }
  reached_.clear();
  const bool absolute = directory.starts_with('/');
  const std::vector<std::string_view> names = NamesOf(directory);

  std::size_t shared = 0;  // names the last path and this one begin with
  if (!steps_.empty() && absolute == absolute_)
    while (shared < names.size() && shared + 1 < steps_.size() &&
           steps_[shared + 1].name == names[shared])
      ++shared;
  bool reached = !steps_.empty() && absolute == absolute_;
  while (reached && steps_.size() > shared + 1) reached = Climb();
  if (!reached) {
    if (!Start(absolute)) return -1;
    shared = 0;
  }
  for (std::size_t index = shared; index < names.size(); ++index) {
    if (!Enter(names[index])) {
      // Held directories stay valid for the next call.
      return -1;
    }
  }
  reached_ = directory;
  identity = steps_.back().identity;
  return steps_.back().fd;
}
