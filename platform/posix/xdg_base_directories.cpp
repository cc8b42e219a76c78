#include "platform/posix/xdg_base_directories.h"

#include <cstdlib>

namespace fs = std::filesystem;

namespace {

std::optional<fs::path> AbsoluteVariable(const char* name) {
  const char* value = std::getenv(name);
  if (!value || value[0] != '/') return std::nullopt;
  return fs::path(value);
}

}  // namespace

std::optional<fs::path> UserHomeDirectory() { return AbsoluteVariable("HOME"); }

std::optional<fs::path> XdgBaseDirectory(const char* variable, const fs::path& belowHome) {
  if (auto path = AbsoluteVariable(variable)) return path;
  if (auto home = UserHomeDirectory()) return *home / belowHome;
  return std::nullopt;
}

std::optional<fs::path> XdgConfigHome() { return XdgBaseDirectory("XDG_CONFIG_HOME", ".config"); }

std::optional<fs::path> XdgDataHome() {
  return XdgBaseDirectory("XDG_DATA_HOME", fs::path(".local") / "share");
}

std::optional<fs::path> XdgCacheHome() { return XdgBaseDirectory("XDG_CACHE_HOME", ".cache"); }
