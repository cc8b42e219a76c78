// The floor of bench/whole_program.sh: deletes every "*.tmp" file below DIR
// with nothing but the calls the job needs, to show how fast the job can be
// done at all on this machine. One thread; each directory is opened
// relative to its parent, listed with getdents64, and its files are deleted
// with unlinkat relative to it. Symbolic links are never followed.
//
//   floor_delete DIR

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cstdio>
#include <cstring>
#include <vector>

namespace {

constexpr std::size_t kListingBufferBytes = 32 * 1024;

bool MatchesTmp(const char* name) {
  const std::size_t length = std::strlen(name);
  return length >= 4 && std::memcmp(name + length - 4, ".tmp", 4) == 0;
}

bool IsDotOrDotDot(const char* name) {
  return name[0] == '.' && (name[1] == '\0' || (name[1] == '.' && name[2] == '\0'));
}

// The entry's type; the file system leaves it to a stat on some systems.
unsigned char TypeOf(int directory, const struct dirent64& entry) {
  if (entry.d_type != DT_UNKNOWN) return entry.d_type;
  struct stat status {};
  if (::fstatat(directory, entry.d_name, &status, AT_SYMLINK_NOFOLLOW) != 0) return DT_UNKNOWN;
  return S_ISDIR(status.st_mode) ? DT_DIR : DT_REG;
}

// Deletes the matching files in `directory` and below; closes `directory`.
// Stops at the first failure and reports it.
bool DeleteMatchingBelow(int directory) {
  // On the heap, one per level, so that a deep tree can't exhaust the stack.
  std::vector<char> buffer(kListingBufferBytes);
  bool ok = true;
  for (;;) {
    const ssize_t bytes = ::getdents64(directory, buffer.data(), buffer.size());
    if (bytes < 0) {
      std::perror("getdents64");
      ok = false;
    }
    if (bytes <= 0) break;
    for (ssize_t offset = 0; ok && offset < bytes;) {
      const auto& entry = *reinterpret_cast<const struct dirent64*>(buffer.data() + offset);
      offset += entry.d_reclen;
      if (IsDotOrDotDot(entry.d_name)) continue;
      const unsigned char type = TypeOf(directory, entry);
      if (type == DT_DIR) {
        const int child =
            ::openat(directory, entry.d_name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
        if (child < 0) {
          std::perror(entry.d_name);
          ok = false;
        } else {
          ok = DeleteMatchingBelow(child);
        }
      } else if (MatchesTmp(entry.d_name) && ::unlinkat(directory, entry.d_name, 0) != 0) {
        std::perror(entry.d_name);
        ok = false;
      }
    }
    if (!ok) break;
  }
  ::close(directory);
  return ok;
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: %s DIR\n", argv[0]);
    return 2;
  }
  const int root = ::open(argv[1], O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
  if (root < 0) {
    std::perror(argv[1]);
    return 1;
  }
  return DeleteMatchingBelow(root) ? 0 : 1;
}
