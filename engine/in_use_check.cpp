#include "engine/in_use_check.h"

namespace {

// Past this, the finding made at gathering is too old to go by: the plan
// has been shown and looked at, and processes have opened other files.
constexpr auto kFindingLasts = std::chrono::seconds(5);

}  // namespace

void StartFindingFilesInUse(CleanPlan::Data& plan, FileSystem& files) {
  plan.inUseSince = std::chrono::steady_clock::now();
  plan.inUse = files.FindFilesInUse();
}

void MarkFilesInUse(CleanPlan::Data& plan) {
  if (!plan.guarded || !plan.inUse || !plan.inUse->Any()) return;
  for (std::size_t folder = 0; folder < plan.folders.size(); ++folder)
    for (std::size_t file = plan.folders[folder].firstFile, end = plan.EndOf(folder); file < end;
         ++file) {
      CleanPlan::Data::Seen& seen = plan.seen[file];
      if (!seen.missing && seen.spare == SpareReason::kNone &&
          plan.inUse->Has(plan.DeviceOf(folder, file), seen.inode))
        seen.spare = SpareReason::kInUse;
    }
}

InUseCheck::InUseCheck(const CleanPlan::Data& plan, FileSystem& files) : found_(plan.inUse) {
  if (found_ && std::chrono::steady_clock::now() - plan.inUseSince > kFindingLasts)
    found_ = files.FindFilesInUse();
  active_ = found_ && found_->Any();
}

bool InUseCheck::Holds(const FileStatus& status) const {
  return active_ && status.attributes != kInvalidAttributes &&
         found_->Has(status.device, status.inode);
}

void InUseCheck::EnterFolder(const DirectoryIdentity& folder, const FileStatus& first,
                             std::uint64_t listed) {
  needsLooks_ = false;
  folderInUse_ = false;
  if (!active_) return;
  const bool trusted = first.attributes != kInvalidAttributes && listed != 0 &&
                       first.inode == listed && first.device == folder.device;
  needsLooks_ = !trusted;
  folderDevice_ = folder.device;
  folderInUse_ = trusted && found_->AnyOn(folder.device);
}
