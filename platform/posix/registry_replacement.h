#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// The two halves of replacing the registry file without ever leaving a
// half-written one: first a complete new file is written and synced beside
// the target, then it is renamed over the target. A crash between the two
// leaves the old file untouched and a stray temporary file, which nothing
// reads and the next save removes.
//
// A writer holds an flock on its temporary file from its creation to the
// rename, so that a temporary file whose lock can be taken belongs to no
// living writer.

// A written temporary file, locked while this object lives.
class RegistryReplacement {
 public:
  RegistryReplacement(std::filesystem::path path, int fd) : path_(std::move(path)), fd_(fd) {}
  RegistryReplacement(RegistryReplacement&& other) noexcept;
  RegistryReplacement& operator=(RegistryReplacement&&) = delete;
  ~RegistryReplacement();

  const std::filesystem::path& Path() const { return path_; }

 private:
  std::filesystem::path path_;
  int fd_;
};

// Writes `content` to a new file in the target's directory (created when
// missing), named after the target with ".tmp-" and a unique suffix, and
// syncs it to disk. It gets the target's permissions when the target
// exists. Removes first the temporary files that earlier saves, killed
// before their rename, left behind. Nothing when that failed; nothing is
// then left behind.
std::optional<RegistryReplacement> WriteRegistryReplacement(const std::filesystem::path& target,
                                                            std::string_view content);

// Renames the file written by WriteRegistryReplacement over the target and
// syncs the directory. On failure removes the new file and returns false.
bool InstallRegistryReplacement(const RegistryReplacement& replacement,
                                const std::filesystem::path& target);
