#include "platform/registry_location.h"

#include <pwd.h>
#include <unistd.h>

#include <cstdlib>
#include <string>

namespace fs = std::filesystem;

namespace {

fs::path HomeDirectory() {
  if (const char* home = std::getenv("HOME"); home && *home) return home;
  if (const passwd* entry = ::getpwuid(::getuid()); entry && entry->pw_dir) return entry->pw_dir;
  return "/";
}

fs::path ConfigDirectory() {
  if (const char* config = std::getenv("XDG_CONFIG_HOME"); config && *config) {
    fs::path path(config);
    if (path.is_absolute()) return path;
  }
  return HomeDirectory() / ".config";
}

}  // namespace

fs::path UserRegistryFilePath() {
  return ConfigDirectory() / "Orlemont Software" / "registry.reg";
}
