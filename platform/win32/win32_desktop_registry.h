#pragma once

#include <optional>
#include <string>
#include <string_view>

#include "platform/registry.h"

// The registry as read on a current Windows: the registry's values, and
// where it has none, the browser caches the user's local application data
// holds. The Netscape "Cache Dir" is answered with Firefox's disk cache, the
// Internet Explorer "Cache_Directory" with the disk cache of Edge, Chrome
// or Chromium (only when the registry names no Internet Explorer cache at
// all). Nothing is ever written back into the registry.
class Win32DesktopRegistry : public RegistryStrings {
 public:
  explicit Win32DesktopRegistry(const RegistryStrings& registry) : registry_(registry) {}

  std::optional<RegistryValue> QueryValue(RegistryRoot root, std::string_view keyPath,
                                          std::string_view valueName) const override;

 private:
  const RegistryStrings& registry_;
};

// The disk-cache entries of Firefox's default profile:
// %LOCALAPPDATA%\Mozilla\Firefox\<profile>\cache2\entries, for the
// relative default profile that %APPDATA%\Mozilla\Firefox names. Only a
// real directory, reached through real directories from the local
// application data.
std::optional<std::string> FirefoxCacheFolder();

// The disk cache of the default profile of Microsoft Edge, else of Google
// Chrome, else of Chromium: %LOCALAPPDATA%\<browser>\User
// Data\Default\Cache\Cache_Data, under the same rule.
std::optional<std::string> ChromiumCacheFolder();
