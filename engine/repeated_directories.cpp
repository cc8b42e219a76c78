#include "engine/repeated_directories.h"

#include "engine/sweep.h"

namespace {

// The name a folder record of one named file stands for: its path's last.
std::string_view NamedFile(const CleanPlan::Data::Folder& folder) {
  const std::string_view path = folder.name;
  const std::size_t slash = LastPathSeparator(path);
  return slash == std::string_view::npos ? path : path.substr(slash + 1);
}

}  // namespace

void RepeatedDirectories::Enter(CleanPlan::Data& plan, std::uint32_t folder,
                                const DirectoryIdentity& identity) {
  plan_ = &plan;
  entered_ = folder;
  identity_ = identity;
  names_.clear();
  collected_ = false;
  const auto [latest, first] = latest_.try_emplace(identity, folder);
  earlier_ = first ? kNone : latest->second;
  if (first) return;
  plan.folders[folder].repeated = plan.folders[latest->second].repeated = true;
  before_[folder] = latest->second;
  latest->second = folder;
}

bool RepeatedDirectories::Listed(std::string_view name) {
  if (earlier_ == kNone) return false;
  if (!collected_) {
    collected_ = true;
    for (std::uint32_t at = earlier_; at != kNone;) {
      const CleanPlan::Data::Folder& folder = plan_->folders[at];
      if (folder.named) {
        names_.insert(NamedFile(folder));
      } else {
        for (std::size_t file = folder.firstFile, end = plan_->EndOf(at); file < end; ++file)
          names_.insert(plan_->NameOf(at, file));
      }
      const auto before = before_.find(at);
      at = before == before_.end() ? kNone : before->second;
    }
  }
  return names_.contains(name);
}

void RepeatedDirectories::Drop() {
  if (entered_ == kNone) return;
  if (earlier_ == kNone) {
    latest_.erase(identity_);
  } else {
    latest_[identity_] = earlier_;
    before_.erase(entered_);
  }
  entered_ = earlier_ = kNone;
  names_.clear();
  collected_ = false;
}
