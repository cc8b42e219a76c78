#pragma once

#include <optional>
#include <string_view>

#include "platform/registry.h"

// The registry as read on a POSIX desktop: the registry file's values, and
// where the file has none, the browser caches that the desktop holds. The
// Netscape "Cache Dir" is answered with Firefox's cache, the Internet
// Explorer "Cache_Directory" with the cache of Edge, Chrome or Chromium
// (only when the file doesn't name an Internet Explorer cache at all). The
// recent-documents and history folders have no counterpart that holds
// nothing else, so they come from the file only. Nothing is ever written
// back into the file.
class DesktopRegistry : public RegistryStrings {
 public:
  explicit DesktopRegistry(const RegistryStrings& file) : file_(file) {}

  std::optional<RegistryValue> QueryValue(RegistryRoot root, std::string_view keyPath,
                                          std::string_view valueName) const override;

 private:
  const RegistryStrings& file_;
};
