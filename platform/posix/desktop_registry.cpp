#include "platform/posix/desktop_registry.h"

#include "platform/posix/browser_cache_folders.h"
#include "platform/registry_text.h"

namespace {

struct ValueName {
  RegistryRoot root;
  std::string_view keyPath;
  std::string_view valueName;
};

constexpr ValueName kNetscapeCache{RegistryRoot::kCurrentUser,
                                   "Software\\Netscape\\Netscape Navigator\\Cache", "Cache Dir"};
constexpr ValueName kIECache{RegistryRoot::kLocalMachine,
                             "SOFTWARE\\Microsoft\\Internet Explorer\\Main", "Cache_Directory"};
// Where the Internet Explorer cache is looked for when "Cache_Directory" is
// missing.
constexpr ValueName kIECachePaths{
    RegistryRoot::kLocalMachine,
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths", "Directory"};

bool Names(const ValueName& name, RegistryRoot root, std::string_view keyPath,
           std::string_view valueName) {
  return root == name.root && registry_text::EqualsIgnoringCase(keyPath, name.keyPath) &&
         registry_text::EqualsIgnoringCase(valueName, name.valueName);
}

}  // namespace

std::optional<RegistryValue> DesktopRegistry::QueryValue(RegistryRoot root,
                                                         std::string_view keyPath,
                                                         std::string_view valueName) const {
  if (auto stored = file_.QueryValue(root, keyPath, valueName)) return stored;
  std::optional<std::string> folder;
  if (Names(kNetscapeCache, root, keyPath, valueName)) {
    folder = FirefoxCacheFolder();
  } else if (Names(kIECache, root, keyPath, valueName) &&
             !file_.QueryValue(kIECachePaths.root, kIECachePaths.keyPath,
                               kIECachePaths.valueName)) {
    folder = ChromiumCacheFolder();
  }
  if (!folder) return std::nullopt;
  return RegistryValue::String(*folder);
}
