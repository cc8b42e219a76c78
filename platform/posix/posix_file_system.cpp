#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace {

std::unique_ptr<Directory> OpenDirectoryAt(int parent, const char* path, int extraFlags);

class PosixDirectory : public Directory {
 public:
  explicit PosixDirectory(DIR* dir) : dir_(dir) {}
  ~PosixDirectory() override { ::closedir(dir_); }
  PosixDirectory(const PosixDirectory&) = delete;
  PosixDirectory& operator=(const PosixDirectory&) = delete;

  bool Next(DirectoryEntry& entry) override {
    while (const dirent* found = ::readdir(dir_)) {
      const std::string_view name(found->d_name);
      if (name == "." || name == "..") continue;
      entry.name = name;
      entry.isDirectory = IsRealDirectory(*found);
      return true;
    }
    return false;
  }

  std::unique_ptr<Directory> OpenSubdirectory(std::string_view name) override {
    const std::string terminated(name);
    // O_NOFOLLOW: a link that replaced the directory since it was listed is
    // refused rather than followed out of the tree.
    return OpenDirectoryAt(::dirfd(dir_), terminated.c_str(), O_NOFOLLOW);
  }

 private:
  // Trusts the type the listing gives and asks the file system only where
  // the listing doesn't know it.
  bool IsRealDirectory(const dirent& found) const {
#ifdef _DIRENT_HAVE_D_TYPE
    if (found.d_type != DT_UNKNOWN) return found.d_type == DT_DIR;
#endif
    struct stat status;
    return ::fstatat(::dirfd(dir_), found.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(status.st_mode);
  }

  DIR* dir_;
};

std::unique_ptr<Directory> OpenDirectoryAt(int parent, const char* path, int extraFlags) {
  const int fd = ::openat(parent, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | extraFlags);
  if (fd < 0) return nullptr;
  DIR* dir = ::fdopendir(fd);
  if (!dir) {
    ::close(fd);
    return nullptr;
  }
  return std::make_unique<PosixDirectory>(dir);
}

bool BeginsWithDot(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  return nameStart < path.size() && path[nameStart] == '.';
}

// A descriptor that only names a directory: it needs no read permission.
#ifdef O_PATH
constexpr int kDirectoryHandleFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kDirectoryHandleFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

}  // namespace

std::unique_ptr<Directory> PosixFileSystem::OpenDirectory(const std::string& path) {
  // The directory the caller names is opened as named, also through a link;
  // only what lies inside it is never followed.
  return OpenDirectoryAt(AT_FDCWD, path.c_str(), 0);
}

PosixFileSystem::Location PosixFileSystem::Locate(const std::string& path) {
  const std::size_t slash = path.rfind('/');
  // A path ending in '/' keeps its meaning only when handed over whole.
  if (!batching_ || slash == std::string::npos || slash + 1 == path.size())
    return {AT_FDCWD, path.c_str()};
  const std::string_view directory(path.data(), slash == 0 ? 1 : slash);
  if (heldDirectory_ < 0 || directory != heldPath_) {
    if (heldDirectory_ >= 0) ::close(heldDirectory_);
    heldPath_ = directory;
    heldDirectory_ = ::open(heldPath_.c_str(), kDirectoryHandleFlags);
    if (heldDirectory_ < 0) return {AT_FDCWD, path.c_str()};
  }
  return {heldDirectory_, path.c_str() + slash + 1};
}

void PosixFileSystem::EndBatch() {
  batching_ = false;
  if (heldDirectory_ >= 0) ::close(heldDirectory_);
  heldDirectory_ = -1;
  heldPath_.clear();
}

// Changes the mode of `path` itself, never of what a link points to.
bool PosixFileSystem::SetOwnerWritable(const std::string& path, bool writable) {
  const Location location = Locate(path);
  struct stat status;
  if (::fstatat(location.directory, location.name, &status, AT_SYMLINK_NOFOLLOW) != 0) return false;
  if (S_ISLNK(status.st_mode)) return true;  // a link has no mode of its own to change
  const mode_t mode = status.st_mode & 07777;
  const mode_t wanted = writable ? (mode | S_IWUSR) : (mode & ~S_IWUSR);
  if (wanted == mode) return true;
  return ::fchmodat(location.directory, location.name, wanted, AT_SYMLINK_NOFOLLOW) == 0;
}

FileAttributes PosixFileSystem::GetAttributes(const std::string& path) {
  const Location location = Locate(path);
  struct stat status;
  if (::fstatat(location.directory, location.name, &status, AT_SYMLINK_NOFOLLOW) != 0)
    return kInvalidAttributes;
  FileAttributes attributes = 0;
  const bool isLink = S_ISLNK(status.st_mode);
  if (S_ISDIR(status.st_mode))
    attributes |= kAttributeDirectory;
  else if (!S_ISREG(status.st_mode) && !isLink)
    attributes |= kAttributeSystem;
  if (!isLink && !(status.st_mode & S_IWUSR)) attributes |= kAttributeReadOnly;
  if (BeginsWithDot(path)) attributes |= kAttributeHidden;
  return attributes == 0 ? kAttributeNormal : attributes;
}

bool PosixFileSystem::SetNormal(const std::string& path, FileAttributes current) {
  if (current == kInvalidAttributes) return false;
  // Hidden and system come from the name and the kind of file and can't be
  // cleared; only a missing owner write bit can be given back.
  if (!(current & kAttributeReadOnly)) return true;
  return SetOwnerWritable(path, true);
}

bool PosixFileSystem::RestoreAttributes(const std::string& path, FileAttributes saved) {
  if (saved == kInvalidAttributes) return false;
  return SetOwnerWritable(path, !(saved & kAttributeReadOnly));
}

bool PosixFileSystem::RemoveFile(const std::string& path) {
  // Without AT_REMOVEDIR this never removes a directory (Linux answers
  // EISDIR, others EPERM); a symbolic link is removed itself.
  const Location location = Locate(path);
  return ::unlinkat(location.directory, location.name, 0) == 0;
}
