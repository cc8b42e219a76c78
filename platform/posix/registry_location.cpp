#include "platform/posix/registry_location.h"

#include "platform/posix/xdg_base_directories.h"

namespace fs = std::filesystem;

fs::path UserRegistryFilePath() {
  const auto config = XdgConfigHome();
  if (!config) return {};
  return *config / "Orlemont Software" / "registry.reg";
}
