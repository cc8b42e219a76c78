#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "platform/file_system.h"

// The bin folders of the user's trash cans: the folders that hold the
// trashed files themselves. Only trash cans on local disks are offered;
// those on RAM, network, removable, optical and pseudo file systems never.
class TrashFolders {
 public:
  virtual ~TrashFolders() = default;

  // The bin folders to empty, in the order to empty them, each once.
  virtual std::vector<std::string> BinFolders() = 0;

  // Which directory `binFolder` is, once it is found to be a real directory
  // of its trash can (not a link, nor a trash can swapped in since
  // BinFolders). Nothing in it may be touched otherwise.
  virtual std::optional<DirectoryIdentity> VerifyBinFolder(const std::string& binFolder) = 0;

  // Called after the file `name`, directly in `binFolder`, was deleted:
  // drops what the trash keeps about that file, so that no file manager
  // goes on showing it. `bin` is the identity VerifyBinFolder gave; nothing
  // is dropped unless the bin folder is still that directory, and only
  // inside a real directory of the same trash can.
  virtual void ForgetDeletedFile(const std::string& binFolder, const DirectoryIdentity& bin,
                                 std::string_view name) = 0;

  // Whether the file `name`, directly in `binFolder`, must stay although it
  // is a file: a trash that keeps what it knows of an item beside the item
  // (the Recycle Bin's info files) keeps it while the item is a folder,
  // which stays. `bin` as for ForgetDeletedFile.
  virtual bool Keeps(const std::string& /*binFolder*/, const DirectoryIdentity& /*bin*/,
                     std::string_view /*name*/) {
    return false;
  }
};
