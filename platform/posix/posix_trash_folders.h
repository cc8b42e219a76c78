#pragma once

#include <sys/types.h>
#include <unistd.h>

#include <map>
#include <optional>
#include <string>
#include <utility>

#include "platform/trash_folders.h"

// The freedesktop.org trash cans of the user: first the home trash, then on
// every fixed local disk in mount table order $top/.Trash/$uid (only where
// $top/.Trash is a real directory with the sticky bit) and $top/.Trash-$uid.
// A trash can reached twice (the same device and inode) is offered once. The
// bin folder of a trash can is its "files" directory; its "info" directory
// holds one NAME.trashinfo for each trashed NAME.
// Where PosixTrashFolders looks; tests point it into a scratch directory.
struct TrashSources {
  std::string mountTable = "/proc/self/mounts";
  // The home trash; when not given, $XDG_DATA_HOME/Trash or
  // ~/.local/share/Trash as the environment says at the time of asking.
  std::optional<std::string> homeTrash;
  uid_t uid = ::getuid();
};

class PosixTrashFolders : public TrashFolders {
 public:
  explicit PosixTrashFolders(TrashSources sources = {}) : sources_(std::move(sources)) {}

  std::vector<std::string> BinFolders() override;
  std::optional<DirectoryIdentity> VerifyBinFolder(const std::string& binFolder) override;
  void ForgetDeletedFile(const std::string& binFolder, const DirectoryIdentity& bin,
                         std::string_view name) override;

 private:
  // The trash can of a bin folder that BinFolders offered, opened, while it
  // is still the one it offered; -1 otherwise.
  int OpenTrashOf(const std::string& binFolder) const;

  TrashSources sources_;
  std::map<std::string, DirectoryIdentity> trashes_;  // of each bin folder offered
};
