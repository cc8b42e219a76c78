#pragma once

#include <cstdint>
#include <memory>

#include "engine/clean_plan_data.h"
#include "platform/file_system.h"

// Starts finding the files in use for a plan being gathered, beside the
// gathering.
void StartFindingFilesInUse(CleanPlan::Data& plan, FileSystem& files);

// Marks the files of a guarded plan that were found in use and that the
// deletion options would not spare anyway, as the preview shows them.
// Waits for the finding.
void MarkFilesInUse(CleanPlan::Data& plan);

// Leaves alone, at its deletion, a file a running process holds open, as
// Windows refuses to delete one. It asks the finding made while the plan was
// gathered, or a new one where the plan has waited since (a preview looked
// at for a while). A file opened after the finding is not caught.
class InUseCheck {
 public:
  InUseCheck(const CleanPlan::Data& plan, FileSystem& files);

  // Whether any file at all was found in use: else nothing needs a check.
  bool Active() const { return active_; }
  // Whether the file, as a look at it just told, is in use.
  bool Holds(const FileStatus& status) const;

  // For a folder whose files are deleted without a look at each: `first`
  // is a look at its first file, `listed` the inode its listing gave. The
  // listing's inodes are trusted for the folder only where they are those
  // a look gives, on the folder's own device; else each file needs a look.
  void EnterFolder(const DirectoryIdentity& folder, const FileStatus& first, std::uint64_t listed);
  // Whether the folder entered last needs a look at each file.
  bool FolderNeedsLooks() const { return needsLooks_; }
  // Whether the folder's file of this listed inode is in use.
  bool ListedInUse(std::uint64_t inode) const {
    return folderInUse_ && found_->Has(folderDevice_, inode);
  }

 private:
  std::shared_ptr<FilesInUse> found_;
  bool active_ = false;
  bool needsLooks_ = false;
  bool folderInUse_ = false;  // any file in use on the folder's device
  std::uint64_t folderDevice_ = 0;
};
