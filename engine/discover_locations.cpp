#include "engine/discover_locations.h"

namespace {

struct RegistrySource {
  RegistryRoot root;
  const char* keyPath;
  const char* valueName;
};

constexpr RegistrySource kRecent{
    RegistryRoot::kCurrentUser,
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Recent"};
constexpr RegistrySource kNetscapeCache{
    RegistryRoot::kCurrentUser, "Software\\Netscape\\Netscape Navigator\\Cache", "Cache Dir"};
constexpr RegistrySource kIECacheMain{
    RegistryRoot::kLocalMachine, "SOFTWARE\\Microsoft\\Internet Explorer\\Main", "Cache_Directory"};
constexpr RegistrySource kIECachePaths{
    RegistryRoot::kLocalMachine,
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths", "Directory"};
constexpr RegistrySource kIEHistoryMain{RegistryRoot::kLocalMachine,
                                        "SOFTWARE\\Microsoft\\Internet Explorer\\Main",
                                        "History_Directory"};
constexpr RegistrySource kIEHistoryUrl{
    RegistryRoot::kLocalMachine,
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Url History", "Directory"};

bool Read(const RegistryStrings& registry, const RegistrySource& source, std::string& location) {
  return registry.ReadRegistryString(source.root, source.keyPath, source.valueName, location);
}

}  // namespace

DiscoveredLocations DiscoverLocations(const RegistryStrings& registry,
                                      const Environment& environment) {
  DiscoveredLocations found;
  CleanLocations& at = found.locations;
  auto switchOff = [&found](ControlId box) { found.switchedOff.push_back(box); };

  if (!Read(registry, kRecent, at.m_strRecent)) switchOff(ControlId::kRecentBox);

  const auto temp = environment.Get("TEMP");
  const auto tmp = environment.Get("TMP");
  if (!temp && !tmp) {
    switchOff(ControlId::kTempBox);
  } else {
    at.m_strTemp = temp.value_or("");
    at.m_strTmp = tmp.value_or("");
    // The same directory is not to be swept twice; a spelling that differs
    // only in case may be another directory here, so it counts as another.
    if (at.m_strTmp == at.m_strTemp) at.m_strTmp.clear();
  }

  if (!Read(registry, kNetscapeCache, at.m_strNetscapeCache)) switchOff(ControlId::kNetscapeBox);

  if (!Read(registry, kIECacheMain, at.m_strIECache) &&
      !Read(registry, kIECachePaths, at.m_strIECache))
    switchOff(ControlId::kIECacheBox);

  if (!Read(registry, kIEHistoryMain, at.m_strIEHistory) &&
      !Read(registry, kIEHistoryUrl, at.m_strIEHistory))
    switchOff(ControlId::kIEHistoryBox);

  return found;
}

void SwitchOffMissing(const DiscoveredLocations& found, CheckBoxes& boxes) {
  for (ControlId box : found.switchedOff) {
    boxes.SetCheck(box, 0);
    boxes.Enable(box, false);
  }
}
