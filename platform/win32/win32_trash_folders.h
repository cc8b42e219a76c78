#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/trash_folders.h"

// Where Win32TrashFolders looks; tests point it into a scratch directory.
struct RecycleBinSources {
  // The roots of the drives to look on ("C:\\"); when not given, every
  // fixed drive (GetDriveTypeW) from A: to Z:.
  std::optional<std::vector<std::string>> roots;
  // The user's security identifier as text ("S-1-5-21-..."); when not
  // given, that of the user running the program.
  std::optional<std::string> userSid;
};

// The current user's Recycle Bin folder on every fixed drive: its own
// folder "$Recycle.Bin\<SID>" (Vista and later), else "RECYCLER\<SID>"
// (NT 4 to XP), else "Recycled" (95 to Me), each a real directory, never a
// junction or link, reached from the drive's root. The bin folder holds
// both the deleted items ("$R...") and their info files ("$I..."); an info
// file whose item is a folder stays while the folder does, so that the bin
// still shows the folder, and the info file of a deleted item goes with it.
class Win32TrashFolders : public TrashFolders {
 public:
  explicit Win32TrashFolders(RecycleBinSources sources = {}) : sources_(std::move(sources)) {}

  std::vector<std::string> BinFolders() override;
  std::optional<DirectoryIdentity> VerifyBinFolder(const std::string& binFolder) override;
  void ForgetDeletedFile(const std::string& binFolder, const DirectoryIdentity& bin,
                         std::string_view name) override;
  bool Keeps(const std::string& binFolder, const DirectoryIdentity& bin,
             std::string_view name) override;

 private:
  struct Offered {
    std::string root;                  // the drive's root
    std::vector<std::string> folders;  // from the root to the bin folder
    DirectoryIdentity identity;
  };
  RecycleBinSources sources_;
  std::map<std::string, Offered> offered_;  // by bin folder
};
