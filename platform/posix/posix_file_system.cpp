#include "platform/posix/posix_file_system.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <cerrno>
#include <climits>
#include <cstring>
#include <string>

// Directories are listed with Linux's getdents64 (many entries, with their
// types, a call); the other calls are POSIX's, with Linux's statx and
// O_PATH used where the headers offer them. Another POSIX system needs a
// listing by readdir here.
#ifndef __linux__
#error "PosixFileSystem lists directories with getdents64, which only Linux has"
#endif

#include "platform/posix/linux_files_in_use.h"

namespace {

std::unique_ptr<Directory> OpenDirectoryAt(int parent, const char* path, int extraFlags);

std::optional<DirectoryIdentity> IdentityOf(int directory) {
  struct stat status;
  if (::fstat(directory, &status) != 0) return std::nullopt;
  return DirectoryIdentity{static_cast<std::uint64_t>(status.st_dev),
                           static_cast<std::uint64_t>(status.st_ino)};
}

// Directories kept open after their listing, by every caller together.
std::atomic<std::size_t> keptDirectories{0};

// What the listing reads at once: a directory of some hundred entries
// comes in one call.
constexpr std::size_t kListingBufferBytes = 32 * 1024;

class PosixDirectory : public Directory {
 public:
  explicit PosixDirectory(int fd) : fd_(fd), buffer_(new char[kListingBufferBytes]) {}
  ~PosixDirectory() override {
    ::close(fd_);
    if (!buffer_) --keptDirectories;
  }
  PosixDirectory(const PosixDirectory&) = delete;
  PosixDirectory& operator=(const PosixDirectory&) = delete;

  bool Next(DirectoryEntry& entry) override {
    if (!buffer_) return false;
    for (;;) {
      if (offset_ == filled_ && !Fill()) return false;
      const auto* found = reinterpret_cast<const struct dirent64*>(buffer_.get() + offset_);
      offset_ += found->d_reclen;
      const std::string_view name(found->d_name);
      if (name == "." || name == "..") continue;
      entry.name = name;
      entry.isDirectory = IsRealDirectory(*found);
      entry.inode = found->d_ino;
      return true;
    }
  }

  std::unique_ptr<Directory> OpenSubdirectory(std::string_view name) override {
    const std::string terminated(name);
    // O_NOFOLLOW: a link that replaced the directory since it was listed is
    // refused rather than followed out of the tree.
    return OpenDirectoryAt(fd_, terminated.c_str(), O_NOFOLLOW);
  }

  std::unique_ptr<Directory> OpenParent() override {
    return OpenDirectoryAt(fd_, "..", O_NOFOLLOW);
  }

  std::optional<DirectoryIdentity> Identity() override {
    LookAtItself();
    return identity_;
  }

  std::optional<std::uint64_t> Mount() override {
    LookAtItself();
    return mount_;
  }

  // Frees the listing's buffer: too much for each of thousands of
  // directories kept open.
  void FinishListing() override {
    if (!buffer_) return;
    buffer_.reset();
    ++keptDirectories;
  }

  int Descriptor() const { return fd_; }

 private:
  bool Fill() {
    if (atEnd_) return false;
    const ssize_t bytes = ::getdents64(fd_, buffer_.get(), kListingBufferBytes);
    if (bytes <= 0) {
      atEnd_ = true;
      return false;
    }
    offset_ = 0;
    filled_ = static_cast<std::size_t>(bytes);
    return true;
  }

  // Identity and mount come from one call, made once: a directory stays
  // the one it was opened as.
  void LookAtItself() {
    if (looked_) return;
    looked_ = true;
#ifdef STATX_MNT_ID
    struct statx status;
    if (::statx(fd_, "", AT_EMPTY_PATH | AT_SYMLINK_NOFOLLOW, STATX_INO | STATX_MNT_ID, &status) ==
        0) {
      identity_ =
          DirectoryIdentity{makedev(status.stx_dev_major, status.stx_dev_minor), status.stx_ino};
      if (status.stx_mask & STATX_MNT_ID) mount_ = status.stx_mnt_id;
      return;
    }
#endif
    identity_ = IdentityOf(fd_);
  }

  // Trusts the type the listing gives and asks the file system only where
  // the listing doesn't know it.
  bool IsRealDirectory(const struct dirent64& found) const {
    if (found.d_type != DT_UNKNOWN) return found.d_type == DT_DIR;
    struct stat status;
    return ::fstatat(fd_, found.d_name, &status, AT_SYMLINK_NOFOLLOW) == 0 &&
           S_ISDIR(status.st_mode);
  }

  int fd_;
  std::unique_ptr<char[]> buffer_;  // while listing
  std::size_t offset_ = 0;          // of the next entry in the buffer
  std::size_t filled_ = 0;          // bytes the last read put in the buffer
  bool atEnd_ = false;
  bool looked_ = false;
  std::optional<DirectoryIdentity> identity_;
  std::optional<std::uint64_t> mount_;
};

// The descriptor of a directory this file system opened, or -1.
int DescriptorOf(Directory& directory) {
  const auto* opened = dynamic_cast<PosixDirectory*>(&directory);
  return opened ? opened->Descriptor() : -1;
}

std::unique_ptr<Directory> OpenDirectoryAt(int parent, const char* path, int extraFlags) {
  const int fd = ::openat(parent, path, O_RDONLY | O_DIRECTORY | O_CLOEXEC | extraFlags);
  if (fd < 0) return nullptr;
  return std::make_unique<PosixDirectory>(fd);
}

bool BeginsWithDot(std::string_view path) {
  const std::size_t slash = path.rfind('/');
  const std::size_t nameStart = slash == std::string::npos ? 0 : slash + 1;
  return nameStart < path.size() && path[nameStart] == '.';
}

FileAttributes AttributesOf(mode_t mode, bool hiddenName) {
  FileAttributes attributes = 0;
  const bool isLink = S_ISLNK(mode);
  if (S_ISDIR(mode))
    attributes |= kAttributeDirectory;
  else if (!S_ISREG(mode) && !isLink)
    attributes |= kAttributeSystem;
  if (!isLink && !(mode & S_IWUSR)) attributes |= kAttributeReadOnly;
  if (hiddenName) attributes |= kAttributeHidden;
  return attributes == 0 ? kAttributeNormal : attributes;
}

#ifdef STATX_BTIME
std::int64_t Nanoseconds(const struct statx_timestamp& time) {
  return static_cast<std::int64_t>(time.tv_sec) * 1'000'000'000 + time.tv_nsec;
}
#endif

// What lstat tells of `name` in `directory`, with the birth time where the
// file system keeps one.
FileStatus StatusAt(int directory, const char* name, bool hiddenName) {
  FileStatus result;
#ifdef STATX_BTIME
  struct statx status;
  if (::statx(directory, name, AT_SYMLINK_NOFOLLOW | AT_NO_AUTOMOUNT,
              STATX_BASIC_STATS | STATX_BTIME, &status) != 0) {
    result.error = errno;
    return result;
  }
  result.attributes = AttributesOf(status.stx_mode, hiddenName);
  result.device = makedev(status.stx_dev_major, status.stx_dev_minor);
  result.inode = status.stx_ino;
  result.size = status.stx_size;
  result.modified = Nanoseconds(status.stx_mtime);
  result.born = Nanoseconds((status.stx_mask & STATX_BTIME) ? status.stx_btime : status.stx_ctime);
#else
  struct stat status;
  if (::fstatat(directory, name, &status, AT_SYMLINK_NOFOLLOW) != 0) {
    result.error = errno;
    return result;
  }
  result.attributes = AttributesOf(status.st_mode, hiddenName);
  result.device = static_cast<std::uint64_t>(status.st_dev);
  result.inode = static_cast<std::uint64_t>(status.st_ino);
  result.size = static_cast<std::uint64_t>(status.st_size);
  result.modified =
      static_cast<std::int64_t>(status.st_mtim.tv_sec) * 1'000'000'000 + status.st_mtim.tv_nsec;
  result.born =
      static_cast<std::int64_t>(status.st_ctim.tv_sec) * 1'000'000'000 + status.st_ctim.tv_nsec;
#endif
  return result;
}

// A descriptor that only names a directory: it needs no read permission.
#ifdef O_PATH
constexpr int kDirectoryHandleFlags = O_PATH | O_DIRECTORY | O_CLOEXEC;
#else
constexpr int kDirectoryHandleFlags = O_RDONLY | O_DIRECTORY | O_CLOEXEC;
#endif

// Changes the mode of the file `fd` was opened on.
bool ChangeModeOf(int fd, bool openedAsPathOnly, mode_t mode) {
  if (!openedAsPathOnly) return ::fchmod(fd, mode) == 0;
  // A descriptor that only names the file can't be given to fchmod; its
  // entry in /proc leads to the very same file.
  const std::string self = "/proc/self/fd/" + std::to_string(fd);
  return ::chmod(self.c_str(), mode) == 0;
}

}  // namespace

std::unique_ptr<Directory> PosixFileSystem::OpenDirectory(const std::string& path) {
  // The directory the caller names is opened as named, also through a link;
  // only what lies inside it is never followed.
  return OpenDirectoryAt(AT_FDCWD, path.c_str(), 0);
}

class PosixFileSystem::Location {
 public:
  static Location Path(const std::string& path) { return Location(AT_FDCWD, path.c_str()); }
  static Location In(int directory, const char* name) { return Location(directory, name); }
  static Location OwningIn(int directory, const char* name) {
    return Location(directory, name, true);
  }
  // In a directory of `walk`, which is cleared with the location.
  static Location WalkedIn(PosixDirectoryWalk& walk, int directory, const char* name) {
    return Location(directory, name, false, &walk);
  }
  static Location Missing() { return Location(-1, nullptr); }
  ~Location() {
    if (owned_) ::close(directory);
    if (walk_) walk_->Clear();
  }
  Location(const Location&) = delete;
  Location& operator=(const Location&) = delete;

  bool found() const { return name != nullptr; }

  const int directory;
  const char* const name;

 private:
  Location(int directory, const char* name, bool owned = false, PosixDirectoryWalk* walk = nullptr)
      : directory(directory), name(name), owned_(owned), walk_(walk) {}
  const bool owned_;
  PosixDirectoryWalk* const walk_;
};

PosixFileSystem::Location PosixFileSystem::Locate(const std::string& path,
                                                  const ListedIn& listedIn) {
  const std::size_t slash = path.rfind('/');
  // A path ending in '/' keeps its meaning only when handed over whole; it
  // can't name a file listed in a directory.
  if (slash != std::string::npos && slash + 1 == path.size())
    return listedIn ? Location::Missing() : Location::Path(path);
  if (!listedIn && (!batching_ || slash == std::string::npos)) return Location::Path(path);

  const std::string_view directory = slash == std::string::npos ? std::string_view(".")
                                     : slash == 0               ? std::string_view("/")
                                                  : std::string_view(path.data(), slash);
  const char* const name = path.c_str() + (slash == std::string::npos ? 0 : slash + 1);
  if (!batching_ && directory.size() < PATH_MAX) {
    // Opened for this one call, and checked before anything is looked up in it.
    const int opened = ::open(std::string(directory).c_str(), kDirectoryHandleFlags);
    if (opened < 0) return Location::Missing();
    if (IdentityOf(opened) != listedIn) {
      ::close(opened);
      return Location::Missing();
    }
    return Location::OwningIn(opened, name);
  }
  // Too long to be opened by its path, or one of many in a batch: reached
  // name by name, from what is still open of the last one.
  std::optional<DirectoryIdentity> identity;
  const int reached = walk_.Reach(directory, identity);
  if (reached < 0 || (listedIn && identity != listedIn)) {
    if (!batching_) walk_.Clear();
    return listedIn ? Location::Missing() : Location::Path(path);
  }
  return batching_ ? Location::In(reached, name) : Location::WalkedIn(walk_, reached, name);
}

void PosixFileSystem::EndBatch() {
  batching_ = false;
  walk_.Clear();
  ReleaseLinkedFile();
}

void PosixFileSystem::ReleaseLinkedFile() {
  if (linkedFile_) ::close(linkedFile_->fd);
  linkedFile_.reset();
}

// A read-only file with other names: the write bit is given through a
// descriptor held on the file, so that the mode can still be put back once
// this name is gone, for the other names keep the same file.
bool PosixFileSystem::MakeLinkedFileWritable(const FileKey& key, int directory, const char* name,
                                             const struct stat& status) {
  bool pathOnly = false;
  int fd = ::openat(directory, name, O_RDONLY | O_NOFOLLOW | O_NONBLOCK | O_NOCTTY | O_CLOEXEC);
#ifdef O_PATH
  if (fd < 0) {
    fd = ::openat(directory, name, O_PATH | O_NOFOLLOW | O_CLOEXEC);
    pathOnly = true;
  }
#endif
  if (fd < 0) return false;
  struct stat opened;
  if (::fstat(fd, &opened) != 0 || opened.st_dev != status.st_dev ||
      opened.st_ino != status.st_ino ||
      !ChangeModeOf(fd, pathOnly, (status.st_mode & 07777) | S_IWUSR)) {
    ::close(fd);
    return false;
  }
  linkedFile_ = LinkedFile{fd, pathOnly, static_cast<mode_t>(status.st_mode & 07777), key};
  return true;
}

// Changes the mode of `name` in `directory` itself, never of what a link
// points to.
bool PosixFileSystem::SetOwnerWritableAt(const FileKey& key, int directory, const char* name,
                                         bool writable) {
  struct stat status;
  if (::fstatat(directory, name, &status, AT_SYMLINK_NOFOLLOW) != 0) return Failed();
  if (S_ISLNK(status.st_mode)) return true;  // a link has no mode of its own to change
  const mode_t mode = status.st_mode & 07777;
  const mode_t wanted = writable ? (mode | S_IWUSR) : (mode & ~S_IWUSR);
  if (wanted == mode) return true;
  if (writable && S_ISREG(status.st_mode) && status.st_nlink > 1)
    return MakeLinkedFileWritable(key, directory, name, status) || Failed();
  return ::fchmodat(directory, name, wanted, AT_SYMLINK_NOFOLLOW) == 0 || Failed();
}

bool PosixFileSystem::SetOwnerWritable(const std::string& path, bool writable,
                                       const ListedIn& listedIn) {
  const Location location = Locate(path, listedIn);
  if (!location.found()) return Failed(ENOENT);
  return SetOwnerWritableAt({-1, path}, location.directory, location.name, writable);
}

bool PosixFileSystem::Failed(int error) {
  lastError_ = error;
  return false;
}

bool PosixFileSystem::SetNormalAt(const FileKey& key, int directory, const char* name,
                                  FileAttributes current) {
  ReleaseLinkedFile();
  if (current == kInvalidAttributes) return false;
  // Hidden and system come from the name and the kind of file and can't be
  // cleared; only a missing owner write bit can be given back.
  if (!(current & kAttributeReadOnly)) return true;
  return SetOwnerWritableAt(key, directory, name, true);
}

bool PosixFileSystem::RestoreLinkedFile(const FileKey& key, bool& restored) {
  if (!linkedFile_ || linkedFile_->key != key) return false;
  restored = ChangeModeOf(linkedFile_->fd, linkedFile_->pathOnly, linkedFile_->mode);
  ReleaseLinkedFile();
  return true;
}

bool PosixFileSystem::RemoveAt(const FileKey& key, int directory, const char* name) {
  // Without AT_REMOVEDIR this never removes a directory (Linux answers
  // EISDIR, others EPERM); a symbolic link is removed itself.
  if (::unlinkat(directory, name, 0) != 0) return Failed();
  if (linkedFile_ && linkedFile_->key == key) {
    // The file's other names keep it read-only, as it was.
    struct stat status;
    if (::fstat(linkedFile_->fd, &status) == 0 && status.st_nlink > 0)
      ChangeModeOf(linkedFile_->fd, linkedFile_->pathOnly, linkedFile_->mode);
    ReleaseLinkedFile();
  }
  return true;
}

FileStatus PosixFileSystem::DoStatus(const std::string& path, const ListedIn& listedIn) {
  const Location location = Locate(path, listedIn);
  if (!location.found()) {
    FileStatus missing;
    missing.error = lastError_ = ENOENT;
    return missing;
  }
  const FileStatus status = StatusAt(location.directory, location.name, BeginsWithDot(path));
  if (status.error) lastError_ = status.error;
  return status;
}

FileAttributes PosixFileSystem::DoGetAttributes(const std::string& path, const ListedIn& listedIn) {
  return DoStatus(path, listedIn).attributes;
}

bool PosixFileSystem::DoSetNormal(const std::string& path, FileAttributes current,
                                  const ListedIn& listedIn) {
  ReleaseLinkedFile();
  if (current == kInvalidAttributes) return false;
  if (!(current & kAttributeReadOnly)) return true;
  return SetOwnerWritable(path, true, listedIn);
}

bool PosixFileSystem::DoRestoreAttributes(const std::string& path, FileAttributes saved,
                                          const ListedIn& listedIn) {
  if (saved == kInvalidAttributes) return false;
  bool restored = false;
  if (RestoreLinkedFile({-1, path}, restored)) return restored;
  return SetOwnerWritable(path, !(saved & kAttributeReadOnly), listedIn);
}

bool PosixFileSystem::DoRemoveFile(const std::string& path, const ListedIn& listedIn) {
  const Location location = Locate(path, listedIn);
  if (!location.found()) return Failed(ENOENT);
  return RemoveAt({-1, path}, location.directory, location.name);
}

// Changes nothing of this object: it may run on another thread.
FileStatus PosixFileSystem::DoStatusIn(Directory& directory, const char* name) {
  return StatusAt(DescriptorOf(directory), name, name[0] == '.');
}

FileAttributes PosixFileSystem::DoGetAttributesIn(Directory& directory, const char* name) {
  const FileStatus status = DoStatusIn(directory, name);
  if (status.error) lastError_ = status.error;
  return status.attributes;
}

bool PosixFileSystem::DoSetNormalIn(Directory& directory, const char* name,
                                    FileAttributes current) {
  const int fd = DescriptorOf(directory);
  return SetNormalAt({fd, name}, fd, name, current);
}

bool PosixFileSystem::DoRestoreAttributesIn(Directory& directory, const char* name,
                                            FileAttributes saved) {
  if (saved == kInvalidAttributes) return false;
  const int fd = DescriptorOf(directory);
  bool restored = false;
  if (RestoreLinkedFile({fd, name}, restored)) return restored;
  return SetOwnerWritableAt({fd, name}, fd, name, !(saved & kAttributeReadOnly));
}

bool PosixFileSystem::DoRemoveFileIn(Directory& directory, const char* name) {
  const int fd = DescriptorOf(directory);
  return RemoveAt({fd, name}, fd, name);
}

std::shared_ptr<FilesInUse> PosixFileSystem::FindFilesInUse() {
#ifdef __linux__
  return std::make_shared<LinuxFilesInUse>();
#else
  return nullptr;
#endif
}

std::size_t PosixFileSystem::DirectoryBudget() const {
  // Half of what the process may open, the rest left to everything else the
  // program opens meanwhile; less what is kept already (another plan).
  struct rlimit limit;
  if (::getrlimit(RLIMIT_NOFILE, &limit) != 0 || limit.rlim_cur < 256) return 0;
  constexpr rlim_t kMost = 1 << 16;
  const auto half = static_cast<std::size_t>(std::min<rlim_t>(limit.rlim_cur, 2 * kMost) / 2);
  const std::size_t kept = keptDirectories;
  return kept < half ? half - kept : 0;
}

std::string PosixFileSystem::ErrorText(int error) const { return std::strerror(error); }
