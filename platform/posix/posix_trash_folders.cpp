#include "platform/posix/posix_trash_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
#include <map>
#include <set>
#include <utility>

#include "platform/posix/mount_table.h"
#include "platform/posix/xdg_base_directories.h"

namespace {

constexpr std::string_view kFilesFolder = "/files";

std::optional<std::string> DefaultHomeTrash() {
  const auto data = XdgDataHome();
  if (!data) return std::nullopt;
  return (*data / "Trash").string();
}

std::string JoinPath(const std::string& directory, const std::string& name) {
  return directory.ends_with('/') ? directory + name : directory + "/" + name;
}

bool IsRealDirectory(const std::string& path, struct stat& status) {
  return ::lstat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
}

// A folder of the trash can `trash`, opened without following a link.
int OpenTrashFolder(int trash, const char* name) {
  return ::openat(trash, name, O_RDONLY | O_DIRECTORY | O_NOFOLLOW | O_CLOEXEC);
}

std::optional<DirectoryIdentity> IdentityOf(int fd) {
  struct stat status;
  if (::fstat(fd, &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
  return DirectoryIdentity{static_cast<std::uint64_t>(status.st_dev),
                           static_cast<std::uint64_t>(status.st_ino)};
}

class ScopedFd {
 public:
  explicit ScopedFd(int fd) : fd_(fd) {}
  ~ScopedFd() {
    if (fd_ >= 0) ::close(fd_);
  }
  ScopedFd(const ScopedFd&) = delete;
  ScopedFd& operator=(const ScopedFd&) = delete;
  int get() const { return fd_; }

 private:
  int fd_;
};

// Collects the bin folders of the trash cans it is offered, each once.
class BinFolderCollector {
 public:
  explicit BinFolderCollector(uid_t uid) : uid_(uid) {}

  // The home trash is the user's own choice of place and may be reached
  // through a link.
  void OfferHomeTrash(const std::string& trash) {
    struct stat status;
    if (::stat(trash.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return;
    Add(trash, status);
  }

  // A trash can at the top of a shared disk must be a real directory of the
  // user's own: anybody could have put a link or a directory of theirs there.
  void OfferSharedTrash(const std::string& trash) {
    struct stat status;
    if (!IsRealDirectory(trash, status) || status.st_uid != uid_) return;
    Add(trash, status);
  }

  std::vector<std::string> Take() { return std::move(bins_); }
  std::map<std::string, DirectoryIdentity> TakeTrashes() { return std::move(trashes_); }

 private:
  void Add(const std::string& trash, const struct stat& status) {
    if (!seen_.insert({status.st_dev, status.st_ino}).second) return;
    const std::string bin = trash + std::string(kFilesFolder);
    struct stat binStatus;
    if (!IsRealDirectory(bin, binStatus)) return;
    bins_.push_back(bin);
    trashes_[bin] = {static_cast<std::uint64_t>(status.st_dev),
                     static_cast<std::uint64_t>(status.st_ino)};
  }

  uid_t uid_;
  std::set<std::pair<dev_t, ino_t>> seen_;
  std::vector<std::string> bins_;
  std::map<std::string, DirectoryIdentity> trashes_;  // of each bin folder
};

}  // namespace

std::vector<std::string> PosixTrashFolders::BinFolders() {
  BinFolderCollector collector(sources_.uid);
  if (auto home = sources_.homeTrash ? sources_.homeTrash : DefaultHomeTrash())
    collector.OfferHomeTrash(*home);

  std::ifstream table(sources_.mountTable);
  const std::string uid = std::to_string(sources_.uid);
  for (const MountPoint& mount : ParseMountTable(table)) {
    if (!IsFixedLocalDisk(mount)) continue;
    const std::string sharedTrash = JoinPath(mount.directory, ".Trash");
    struct stat status;
    if (IsRealDirectory(sharedTrash, status) && (status.st_mode & S_ISVTX))
      collector.OfferSharedTrash(sharedTrash + "/" + uid);
    collector.OfferSharedTrash(JoinPath(mount.directory, ".Trash-" + uid));
  }
  trashes_ = collector.TakeTrashes();
  return collector.Take();
}

int PosixTrashFolders::OpenTrashOf(const std::string& binFolder) const {
  const auto offered = trashes_.find(binFolder);
  if (offered == trashes_.end()) return -1;
  const std::string trash = binFolder.substr(0, binFolder.size() - kFilesFolder.size());
  // As BinFolders reached it (the home trash may lie behind a link of the
  // user's), and still the trash can it offered.
  const int fd = ::open(trash.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
  if (fd >= 0 && IdentityOf(fd) == offered->second) return fd;
  if (fd >= 0) ::close(fd);
  return -1;
}

std::optional<DirectoryIdentity> PosixTrashFolders::VerifyBinFolder(const std::string& binFolder) {
  const ScopedFd trash(OpenTrashOf(binFolder));
  if (trash.get() < 0) return std::nullopt;
  const ScopedFd bin(OpenTrashFolder(trash.get(), kFilesFolder.data() + 1));
  if (bin.get() < 0) return std::nullopt;
  return IdentityOf(bin.get());
}

void PosixTrashFolders::ForgetDeletedFile(const std::string& binFolder,
                                          const DirectoryIdentity& bin, std::string_view name) {
  if (name.empty() || name.find('/') != std::string_view::npos) return;
  const ScopedFd trash(OpenTrashOf(binFolder));
  if (trash.get() < 0) return;
  // Only the trash can whose bin the file was deleted from, and only
  // through its own info folder, never one a link leads to.
  const ScopedFd files(OpenTrashFolder(trash.get(), kFilesFolder.data() + 1));
  if (files.get() < 0 || IdentityOf(files.get()) != bin) return;
  const ScopedFd info(OpenTrashFolder(trash.get(), "info"));
  if (info.get() < 0 || !IdentityOf(info.get())) return;
  const std::string record = std::string(name) + ".trashinfo";
  ::unlinkat(info.get(), record.c_str(), 0);
}
