#include "engine/folder_claims.h"

#include <algorithm>

FolderClaims::FolderClaims(const CleanPlan::Data& plan, std::size_t folders)
    : plan_(plan), folders_(folders) {
  std::size_t total = 0, kept = 0, largest = 0;
  for (std::size_t folder = 0; folder < folders; ++folder) {
    const std::size_t files = plan.EndOf(folder) - plan.folders[folder].firstFile;
    total += files;
    if (KeptByFirst(folder))
      kept += files;
    else
      largest = std::max(largest, files);
  }
  worthSharing_ = total > 0 && std::max(kept, largest) * 4 <= total * 3;
}

std::size_t FolderClaims::Take() {
  std::size_t folder;
  do folder = next_.fetch_add(1, std::memory_order_relaxed);
  while (folder < folders_ && KeptByFirst(folder));
  return folder;
}
