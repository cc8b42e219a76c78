#include "platform/posix/linux_files_in_use.h"

#include <dirent.h>
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/sysmacros.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <map>
#include <string>

namespace {

using FileId = std::pair<std::uint64_t, std::uint64_t>;

bool IsProcessId(const char* name) {
  if (!*name) return false;
  for (const char* c = name; *c; ++c)
    if (*c < '0' || *c > '9') return false;
  return true;
}

// Adds the regular file each descriptor of the process leads to.
void AddOpenFiles(int process, std::vector<FileId>& found) {
  const int fd = ::openat(process, "fd", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd < 0) return;
  DIR* listing = ::fdopendir(fd);
  if (!listing) {
    ::close(fd);
    return;
  }
  while (const dirent* entry = ::readdir(listing)) {
    if (entry->d_name[0] == '.') continue;
    // Following the link reaches the file itself, even one renamed or
    // deleted since it was opened.
    struct stat status;
    if (::fstatat(fd, entry->d_name, &status, 0) == 0 && S_ISREG(status.st_mode))
      found.emplace_back(static_cast<std::uint64_t>(status.st_dev),
                         static_cast<std::uint64_t>(status.st_ino));
  }
  ::closedir(listing);
}

// Reads the digits at `at` in `base` (16 in lower case, or 10), moving
// past them; false when there are none.
bool ReadNumber(const char*& at, unsigned base, unsigned long long& value) {
  const char* const start = at;
  value = 0;
  for (;; ++at) {
    unsigned digit;
    if (*at >= '0' && *at <= '9')
      digit = static_cast<unsigned>(*at - '0');
    else if (base == 16 && *at >= 'a' && *at <= 'f')
      digit = static_cast<unsigned>(*at - 'a' + 10);
    else
      break;
    value = value * base + digit;
  }
  return at != start;
}

bool Skip(const char*& at, char expected) {
  if (*at != expected) return false;
  ++at;
  return true;
}

bool SkipField(const char*& at) {
  while (*at && *at != ' ') ++at;
  return Skip(at, ' ');
}

// One line of a memory map, "start-end perms offset major:minor inode path",
// in hexadecimal but for the inode. Read by hand: the maps of every process
// run to thousands of lines, too many for sscanf's speed.
struct MapLine {
  unsigned long long from = 0, to = 0, major = 0, minor = 0, inode = 0;
};
bool ReadMapLine(const char* at, MapLine& line) {
  return ReadNumber(at, 16, line.from) && Skip(at, '-') && ReadNumber(at, 16, line.to) &&
         Skip(at, ' ') && SkipField(at) && SkipField(at) && ReadNumber(at, 16, line.major) &&
         Skip(at, ':') && ReadNumber(at, 16, line.minor) && Skip(at, ' ') &&
         ReadNumber(at, 10, line.inode);
}

}  // namespace

// The files mapped by every process, each asked of the system once: the
// memory map names a file by the device and inode of the file system that
// holds it, which on some file systems (btrfs sub-volumes, overlays) is not
// what a look at the file gives. A look through /proc/<pid>/map_files gives
// that, but only with the checkpoint capability (root); without it, the
// memory map's own numbers stand.
class LinuxFilesInUse::MappedFiles {
 public:
  void AddOf(int process, std::vector<FileId>& found) {
    const int fd = ::openat(process, "maps", O_RDONLY | O_CLOEXEC);
    if (fd < 0) return;
    text_.clear();
    char buffer[16384];
    for (ssize_t bytes; (bytes = ::read(fd, buffer, sizeof buffer)) > 0;)
      text_.append(buffer, static_cast<std::size_t>(bytes));
    ::close(fd);
    // A kernel thread maps nothing.
    const int links = looksThrough_ && !text_.empty()
                          ? ::openat(process, "map_files", O_RDONLY | O_DIRECTORY | O_CLOEXEC)
                          : -1;
    if (!text_.empty() && text_.back() != '\n') text_.push_back('\n');
    // Anonymous mappings have inode 0.
    for (std::size_t start = 0; start < text_.size();) {
      const std::size_t end = text_.find('\n', start);
      text_[end] = '\0';
      MapLine line;
      if (ReadMapLine(text_.c_str() + start, line) && line.inode != 0)
        Add({static_cast<std::uint64_t>(
                 makedev(static_cast<unsigned>(line.major), static_cast<unsigned>(line.minor))),
             line.inode},
            links, line.from, line.to, found);
      start = end + 1;
    }
    if (links >= 0) ::close(links);
  }

 private:
  void Add(const FileId& listed, int links, unsigned long long from, unsigned long long to,
           std::vector<FileId>& found) {
    if (const auto known = looked_.find(listed); known != looked_.end()) {
      if (known->second != kNotAFile) found.push_back(known->second);
      return;
    }
    FileId file = listed;
    if (links >= 0) {
      char name[40];
      std::snprintf(name, sizeof name, "%llx-%llx", from, to);
      struct stat status;
      if (::fstatat(links, name, &status, 0) == 0)
        file = S_ISREG(status.st_mode) ? FileId{static_cast<std::uint64_t>(status.st_dev),
                                                static_cast<std::uint64_t>(status.st_ino)}
                                       : kNotAFile;
      else if (errno == EPERM || errno == EACCES)
        looksThrough_ = false;
    }
    looked_.emplace(listed, file);
    if (file != kNotAFile) found.push_back(file);
  }

  static constexpr FileId kNotAFile{0, 0};
  std::string text_;
  bool looksThrough_ = true;  // until map_files refuses a look
  std::map<FileId, FileId> looked_;
};

namespace {

// The ids of the processes running now but this one, for `proc`.
std::vector<std::string> ListProcesses(int proc) {
  std::vector<std::string> ids;
  if (proc < 0) return ids;
  const int listing = ::openat(proc, ".", O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (listing < 0) return ids;
  DIR* processes = ::fdopendir(listing);
  if (!processes) {
    ::close(listing);
    return ids;
  }
  const std::string self = std::to_string(::getpid());
  while (const dirent* entry = ::readdir(processes))
    if (IsProcessId(entry->d_name) && entry->d_name != self) ids.emplace_back(entry->d_name);
  ::closedir(processes);
  return ids;
}

}  // namespace

LinuxFilesInUse::LinuxFilesInUse()
    : proc_(::open("/proc", O_RDONLY | O_DIRECTORY | O_CLOEXEC)),
      processes_(ListProcesses(proc_)),
      thread_([this] { LookAtProcesses(foundThere_); }) {}

LinuxFilesInUse::~LinuxFilesInUse() { WaitForTheFinding(); }

void LinuxFilesInUse::LookAtProcesses(std::vector<FileId>& found) {
  MappedFiles mapped;
  for (std::size_t index; (index = next_.fetch_add(1)) < processes_.size();) {
    const int process =
        ::openat(proc_, processes_[index].c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (process < 0) continue;  // ended meanwhile
    AddOpenFiles(process, found);
    mapped.AddOf(process, found);
    ::close(process);
  }
}

// The first to wait looks at the processes left meanwhile, so that the
// finding ends sooner.
void LinuxFilesInUse::WaitForTheFinding() {
  std::call_once(joined_, [this] {
    LookAtProcesses(found_);
    thread_.join();
    if (proc_ >= 0) ::close(proc_);
    found_.insert(found_.end(), foundThere_.begin(), foundThere_.end());
    foundThere_ = {};
    std::sort(found_.begin(), found_.end());
    found_.erase(std::unique(found_.begin(), found_.end()), found_.end());
    for (const FileId& file : found_)
      if (devices_.empty() || devices_.back() != file.first) devices_.push_back(file.first);
  });
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
