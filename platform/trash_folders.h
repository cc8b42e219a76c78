#pragma once

#include <string>
#include <string_view>
#include <vector>

// The bin folders of the user's trash cans: the folders that hold the
// trashed files themselves. Only trash cans on local disks are offered;
// those on RAM, network, removable, optical and pseudo file systems never.
class TrashFolders {
 public:
  virtual ~TrashFolders() = default;

  // The bin folders to empty, in the order to empty them, each once.
  virtual std::vector<std::string> BinFolders() = 0;

  // Called after the file `name`, directly in `binFolder`, was deleted:
  // drops what the trash keeps about that file, so that no file manager
  // goes on showing it.
  virtual void ForgetDeletedFile(const std::string& binFolder, std::string_view name) = 0;
};
