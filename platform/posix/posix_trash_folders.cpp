#include "platform/posix/posix_trash_folders.h"

#include <sys/stat.h>
#include <unistd.h>

#include <fstream>
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

 private:
  void Add(const std::string& trash, const struct stat& status) {
    if (!seen_.insert({status.st_dev, status.st_ino}).second) return;
    const std::string bin = trash + std::string(kFilesFolder);
    struct stat binStatus;
    if (!IsRealDirectory(bin, binStatus)) return;
    bins_.push_back(bin);
  }

  uid_t uid_;
  std::set<std::pair<dev_t, ino_t>> seen_;
  std::vector<std::string> bins_;
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
  return collector.Take();
}

void PosixTrashFolders::ForgetDeletedFile(const std::string& binFolder, std::string_view name) {
  if (!binFolder.ends_with(kFilesFolder) || name.empty() || name.find('/') != std::string_view::npos)
    return;
  const std::string trash = binFolder.substr(0, binFolder.size() - kFilesFolder.size());
  const std::string info = trash + "/info/" + std::string(name) + ".trashinfo";
  ::unlink(info.c_str());
}
