#include <cstdlib>

#include "platform/posix/posix_environment.h"

std::optional<std::string> PosixEnvironment::Get(const std::string& name) const {
  if (const char* value = std::getenv(name.c_str())) return std::string(value);
  if (name != "TEMP") return std::nullopt;
  // An empty TMPDIR names no directory; treat it as unset.
  if (const char* tmpdir = std::getenv("TMPDIR"); tmpdir && *tmpdir) return std::string(tmpdir);
  return std::string("/tmp");
}

const Environment& SystemEnvironment() {
  static const PosixEnvironment environment;
  return environment;
}
