#include "platform/win32/win32_desktop_registry.h"

#include <memory>
#include <vector>

#include "platform/posix/firefox_profiles.h"
#include "platform/registry_text.h"
#include "platform/user_registry.h"
#include "platform/win32/nt_files.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_environment.h"

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
constexpr ValueName kIECachePaths{
    RegistryRoot::kLocalMachine,
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths", "Directory"};

bool Names(const ValueName& name, RegistryRoot root, std::string_view keyPath,
           std::string_view valueName) {
  return root == name.root && registry_text::EqualsIgnoringCase(keyPath, name.keyPath) &&
         registry_text::EqualsIgnoringCase(valueName, name.valueName);
}

constexpr ACCESS_MASK kDirectoryAccess = FILE_LIST_DIRECTORY | FILE_TRAVERSE | FILE_READ_ATTRIBUTES;

// `base` joined with `folders`, when every one of them is a real directory,
// no junction or link. The base is the user's own choice of place and may
// be reached through one.
std::optional<std::string> RealFolderBelow(const std::string& base,
                                           const std::vector<std::string>& folders) {
  Opened current = OpenPath(base, kDirectoryAccess, true);
  if (!current.handle) return std::nullopt;
  std::string path = base;
  for (const std::string& folder : folders) {
    if (!IsSingleName(folder)) return std::nullopt;
    Opened next =
        OpenRealSubdirectory(current.handle.Get(), WideFromNarrow(folder), kDirectoryAccess);
    if (!next.handle) return {};
    current = std::move(next);
    if (!path.ends_with('\\')) path += '\\';
    path += folder;
  }
  return path;
}

// Firefox's ini files are small; anything large in their place is no ini
// file of Firefox.
std::string ReadSmallFile(const std::string& path) {
  constexpr DWORD kLargestIniFile = 1 << 20;
  Opened opened = OpenPath(path, GENERIC_READ, false);
  if (!opened.handle) return {};
  const auto info = InformationOf(opened.handle.Get());
  if (!info || (info->attributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_REPARSE_POINT)) ||
      info->size > kLargestIniFile)
    return {};
  std::string content(static_cast<std::size_t>(info->size), '\0');
  DWORD read = 0;
  if (!content.empty() && !::ReadFile(opened.handle.Get(), content.data(),
                                      static_cast<DWORD>(content.size()), &read, nullptr))
    return {};
  content.resize(read);
  return content;
}

std::optional<std::string> Variable(const char* name) {
  auto value = Win32Environment().Get(name);
  if (!value || value->empty()) return std::nullopt;
  return value;
}

}  // namespace

std::optional<std::string> FirefoxCacheFolder() {
  const auto roaming = Variable("APPDATA");
  const auto local = Variable("LOCALAPPDATA");
  if (!roaming || !local) return std::nullopt;
  const std::string profiles = *roaming + "\\Mozilla\\Firefox\\";
  const auto profile = DefaultFirefoxProfile(ReadSmallFile(profiles + "installs.ini"),
                                             ReadSmallFile(profiles + "profiles.ini"));
  if (!profile || !profile->isRelative) return std::nullopt;
  const auto profileFolders = RelativeProfileFolders(profile->path);
  if (!profileFolders) return std::nullopt;
  std::vector<std::string> cache{"Mozilla", "Firefox"};
  cache.insert(cache.end(), profileFolders->begin(), profileFolders->end());
  cache.insert(cache.end(), {"cache2", "entries"});
  return RealFolderBelow(*local, cache);
}

std::optional<std::string> ChromiumCacheFolder() {
  const auto local = Variable("LOCALAPPDATA");
  if (!local) return std::nullopt;
  const std::vector<std::vector<std::string>> browsers{
      {"Microsoft", "Edge"}, {"Google", "Chrome"}, {"Chromium"}};
  for (std::vector<std::string> folders : browsers) {
    folders.insert(folders.end(), {"User Data", "Default", "Cache", "Cache_Data"});
    if (auto found = RealFolderBelow(*local, folders)) return found;
  }
  return std::nullopt;
}

std::optional<RegistryValue> Win32DesktopRegistry::QueryValue(RegistryRoot root,
                                                              std::string_view keyPath,
                                                              std::string_view valueName) const {
  if (auto stored = registry_.QueryValue(root, keyPath, valueName)) return stored;
  std::optional<std::string> folder;
  if (Names(kNetscapeCache, root, keyPath, valueName)) {
    folder = FirefoxCacheFolder();
  } else if (Names(kIECache, root, keyPath, valueName) &&
             !registry_.QueryValue(kIECachePaths.root, kIECachePaths.keyPath,
                                   kIECachePaths.valueName)) {
    folder = ChromiumCacheFolder();
  }
  if (!folder) return std::nullopt;
  return RegistryValue::String(*folder);
}

std::unique_ptr<RegistryStrings> OtherProgramsRegistry(const RegistryStrings& registry) {
  return std::make_unique<Win32DesktopRegistry>(registry);
}
