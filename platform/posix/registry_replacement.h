#pragma once

#include <filesystem>
#include <optional>
#include <string_view>

// The two halves of replacing the registry file without ever leaving a
// half-written one: first a complete new file is written and synced beside
// the target, then it is renamed over the target. A crash between the two
// leaves the old file untouched and a stray temporary file, which nothing
// reads.

// Writes `content` to a new file in the target's directory (created when
// missing), named after the target with ".tmp-" and a unique suffix, and
// syncs it to disk. It gets the target's permissions when the target
// exists. Nothing when that failed; nothing is then left behind.
std::optional<std::filesystem::path> WriteRegistryReplacement(const std::filesystem::path& target,
                                                              std::string_view content);

// Renames the file written by WriteRegistryReplacement over the target and
// syncs the directory. On failure removes the new file and returns false.
bool InstallRegistryReplacement(const std::filesystem::path& replacement,
                                const std::filesystem::path& target);
