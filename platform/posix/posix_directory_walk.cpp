#include "platform/posix/posix_directory_walk.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>

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

// How much of the paths `a` and `b` names the same directories: the length
// of their common beginning, cut back to the end of a name.
std::size_t SharedDirectories(std::string_view a, std::string_view b) {
  const std::size_t length = std::min(a.size(), b.size());
  std::size_t common = 0;
  while (common < length && a[common] == b[common]) ++common;
  const auto endsAName = [common](std::string_view path) {
    return common == path.size() || path[common] == '/';
  };
  if (endsAName(a) && endsAName(b)) return common;
  const std::size_t slash = a.substr(0, common).rfind('/');
  return slash == std::string_view::npos ? 0 : slash;
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
  steps_.push_back({0, fd, *identity});
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

bool PosixDirectoryWalk::Enter(std::string_view name, std::size_t end) {
  const std::string terminated(name);
  const int fd = ::openat(steps_.back().fd, terminated.c_str(), kHandleFlags);
  if (fd < 0) return false;
  const auto identity = IdentityOf(fd);
  if (!identity) {
    ::close(fd);
    return false;
  }
  steps_.push_back({end, fd, *identity});
  // Only the deepest stay open; they are the ones the next path most
  // likely shares.
  if (steps_.size() > kHeldDirectories + 1) {
    Step& oldest = steps_[steps_.size() - kHeldDirectories - 1];
    if (oldest.fd >= 0) {
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
  const bool absolute = directory.starts_with('/');
  std::size_t shared = 0;  // steps below the start that both paths take
  if (!steps_.empty() && absolute == absolute_) {
    const std::size_t common = SharedDirectories(directory, reached_);
    shared = steps_.size() - 1;
    while (shared > 0 && steps_[shared].end > common) --shared;
    while (steps_.size() > shared + 1)
      if (!Climb()) {
        Clear();
        break;
      }
  }
  if (steps_.empty() || absolute != absolute_) {
    if (!Start(absolute)) return -1;
    shared = 0;
  }
  reached_ = directory;
  std::size_t position = shared > 0 ? steps_[shared].end : 0;
  while (position < directory.size()) {
    const std::size_t start = directory.find_first_not_of('/', position);
    if (start == std::string_view::npos) break;
    const std::size_t end = std::min(directory.find('/', start), directory.size());
    if (!Enter(directory.substr(start, end - start), end)) {
      // What was reached stays valid for the next call.
      reached_.resize(steps_.size() > 1 ? steps_.back().end : 0);
      return -1;
    }
    position = end;
  }
  identity = steps_.back().identity;
  return steps_.back().fd;
}
