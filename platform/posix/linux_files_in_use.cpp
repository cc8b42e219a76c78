#include "platform/posix/linux_files_in_use.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <string>

namespace {

using FileId = std::pair<std::uint64_t, std::uint64_t>;

bool IsProcessId(const char* name) {
  if (!*name) return false;
  for (const char* c = name; *c; ++c)
    if (*c < '0' || *c > '9') return false;
  return true;
}

// Adds the regular file each link in the process's directory `name` leads
// to (its descriptors, or its mapped files). False when the links can't be
// read, not even where they lead.
bool AddLinkedFiles(int process, const char* name, std::vector<FileId>& found) {
  const int fd = ::openat(process, name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return false;
  DIR* listing = ::fdopendir(fd);
  if (!listing) {
    ::close(fd);
    return false;
  }
  bool readable = true;
  errno = 0;
  while (const dirent* entry = ::readdir(listing)) {
    if (entry->d_name[0] == '.') continue;
    // Following the link reaches the file itself, even one renamed or
    // deleted since it was opened.
    struct stat status;
    if (::fstatat(fd, entry->d_name, &status, 0) == 0) {
      if (S_ISREG(status.st_mode))
        found.emplace_back(static_cast<std::uint64_t>(status.st_dev),
                           static_cast<std::uint64_t>(status.st_ino));
    } else if (errno == EPERM || errno == EACCES) {
      readable = false;
      break;
    }
    errno = 0;
  }
  if (errno != 0) readable = false;
  ::closedir(listing);
  return readable;
}

// Adds every file the process has mapped, as its memory map lists them:
// "address perms offset major:minor inode path", in hexadecimal but for
// the inode. Anonymous mappings have inode 0.
void AddMappedFiles(int process, std::vector<FileId>& found) {
  const int fd = ::openat(process, "maps", O_RDONLY | O_CLOEXEC);
  if (fd < 0) return;
  std::string text;
  char buffer[16384];
  for (ssize_t bytes; (bytes = ::read(fd, buffer, sizeof buffer)) > 0;)
    text.append(buffer, static_cast<std::size_t>(bytes));
  ::close(fd);
  if (!text.empty() && text.back() != '\n') text.push_back('\n');
  for (std::size_t start = 0; start < text.size();) {
    const std::size_t end = text.find('\n', start);
    text[end] = '\0';
    unsigned major = 0, minor = 0;
    unsigned long long inode = 0;
    if (std::sscanf(text.c_str() + start, "%*s %*s %*s %x:%x %llu", &major, &minor, &inode) == 3 &&
        inode != 0)
      found.emplace_back(static_cast<std::uint64_t>(makedev(major, minor)), inode);
    start = end + 1;
  }
}

}  // namespace

LinuxFilesInUse::LinuxFilesInUse() : thread_([this] { Find(); }) {}

LinuxFilesInUse::~LinuxFilesInUse() { WaitForTheFinding(); }

void LinuxFilesInUse::Find() {
  const int proc = ::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (proc < 0) return;
  DIR* processes = ::fdopendir(proc);
  if (!processes) {
    ::close(proc);
    return;
  }
  const std::string self = std::to_string(::getpid());
  while (const dirent* entry = ::readdir(processes)) {
    if (!IsProcessId(entry->d_name) || entry->d_name == self) continue;
    const int process = ::openat(proc, entry->d_name, O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (process < 0) continue;  // ended meanwhile
    AddLinkedFiles(process, "fd", found_);
    if (!AddLinkedFiles(process, "map_files", found_)) AddMappedFiles(process, found_);
    ::close(process);
  }
  ::closedir(processes);
  std::sort(found_.begin(), found_.end());
  found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
  for (const FileId& file : found_)
    if (devices_.empty() || devices_.back() != file.first) devices_.push_back(file.first);
}

void LinuxFilesInUse::WaitForTheFinding() {
  std::call_once(joined_, [this] { thread_.join(); });
}

bool LinuxFilesInUse::Has(std::uint64_t device, std::uint64_t inode) {
  WaitForTheFinding();
  return std::binary_search(found_.begin(), found_.end(), FileId{device, inode});
}

bool LinuxFilesInUse::AnyOn(std::uint64_t device) {
  WaitForTheFinding();
  return std::binary_search(devices_.begin(), devices_.end(), device);
}

bool LinuxFilesInUse::Any() {
  WaitForTheFinding();
  return !found_.empty();
}
