#include "engine/sweep.h"

#include <optional>
#include <string_view>
#include <vector>

#include "platform/wildcard_match.h"

namespace {

// Reads each directory once: its matching files are gathered as they come,
// its sub-directories are remembered and swept after the listing ends. That
// gives the same order as a file pass followed by a sub-directory pass.
void SweepOpenDirectory(Directory& directory, std::string& path, std::string_view wildcard,
                        bool recurse, FileList& list) {
  // Files are only gathered with the directory they were listed in, so
  // that none can be deleted through a directory swapped in later.
  const std::optional<DirectoryIdentity> identity = directory.Identity();
  if (!identity) return;
  std::vector<std::string> subdirectories;
  DirectoryEntry entry;
  while (directory.Next(entry)) {
    if (entry.isDirectory) {
      if (recurse) subdirectories.emplace_back(entry.name);
    } else if (MatchesWildcard(wildcard, entry.name)) {
      std::string file;
      file.reserve(path.size() + 1 + entry.name.size());
      file.append(path).append(1, kPathSeparator).append(entry.name);
      list.Append(std::move(file), *identity);
    }
  }
  for (const std::string& name : subdirectories) {
    const auto subdirectory = directory.OpenSubdirectory(name);
    if (!subdirectory) continue;
    const std::size_t parentLength = path.size();
    path.append(1, kPathSeparator).append(name);
    SweepOpenDirectory(*subdirectory, path, wildcard, recurse, list);
    path.resize(parentLength);
  }
}

}  // namespace

void SweepDirectory(FileSystem& files, FileList& list, const std::string& directory,
                    const std::string& pattern, int recurse) {
  std::string_view wildcard = pattern;
  if (wildcard.starts_with(kPathSeparator)) wildcard.remove_prefix(1);
  const auto opened = files.OpenDirectory(directory.empty() ? std::string(1, kPathSeparator) : directory);
  if (!opened) return;
  std::string path = directory;
  SweepOpenDirectory(*opened, path, wildcard, recurse != 0, list);
}
