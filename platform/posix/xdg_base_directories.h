#pragma once

#include <filesystem>
#include <optional>

// The user's directories as the XDG base directory rules name them, read
// from the environment at the time of asking. A relative path in HOME or in
// an XDG_*_HOME variable is invalid and ignored, so that nothing is ever
// read, written or emptied below whatever the working directory happens to
// be.

// $HOME when it is an absolute path; nothing otherwise.
std::optional<std::filesystem::path> UserHomeDirectory();

// $`variable` when it is an absolute path, else `belowHome` inside the
// home; nothing when neither is valid.
std::optional<std::filesystem::path> XdgBaseDirectory(const char* variable,
                                                      const std::filesystem::path& belowHome);

// $XDG_CONFIG_HOME, else ~/.config.
std::optional<std::filesystem::path> XdgConfigHome();
// $XDG_DATA_HOME, else ~/.local/share.
std::optional<std::filesystem::path> XdgDataHome();
// $XDG_CACHE_HOME, else ~/.cache.
std::optional<std::filesystem::path> XdgCacheHome();
