#include "engine/folder_claims.h"

#include <algorithm>
#include <cstdint>
#include <tuple>

FolderClaims::FolderClaims(const CleanPlan::Data& plan, std::size_t folders)
    : kept_(folders, false) {
  std::vector<std::tuple<std::uint64_t, std::uint64_t, std::size_t>> byDirectory;
  byDirectory.reserve(folders);
  for (std::size_t folder = 0; folder < folders; ++folder)
    byDirectory.emplace_back(plan.folders[folder].identity.device,
                             plan.folders[folder].identity.inode, folder);
  std::sort(byDirectory.begin(), byDirectory.end());
  const auto sameDirectory = [&](std::size_t a, std::size_t b) {
    return std::get<0>(byDirectory[a]) == std::get<0>(byDirectory[b]) &&
           std::get<1>(byDirectory[a]) == std::get<1>(byDirectory[b]);
  };
  for (std::size_t at = 0; at < folders; ++at)
    if ((at > 0 && sameDirectory(at - 1, at)) || (at + 1 < folders && sameDirectory(at, at + 1)))
      kept_[std::get<2>(byDirectory[at])] = true;

  std::size_t total = 0, kept = 0, largest = 0;
  for (std::size_t folder = 0; folder < folders; ++folder) {
    const std::size_t files = plan.EndOf(folder) - plan.folders[folder].firstFile;
    total += files;
    if (kept_[folder])
      kept += files;
    else
      largest = std::max(largest, files);
  }
  worthSharing_ = total > 0 && std::max(kept, largest) * 4 <= total * 3;
}

std::size_t FolderClaims::Take() {
  std::size_t folder;
  do folder = next_.fetch_add(1, std::memory_order_relaxed);
  while (folder < kept_.size() && kept_[folder]);
  return folder;
}
