#include "app/headless_window.h"

#include "engine/clean_run.h"
#include "engine/discover_locations.h"
#include "settings/settings_store.h"

HeadlessWindow::HeadlessWindow(const RegistryStrings& registry, Profile& profile,
                               std::string applicationName, std::ostream& messages)
    : registry_(registry),
      profile_(profile),
      applicationName_(std::move(applicationName)),
      messages_(messages),
      entries_(list_, messages_) {}

void HeadlessWindow::OnInitDialog(const Environment& environment) {
  const DiscoveredLocations found = DiscoverLocations(registry_, environment);
  locations_ = found.locations;
  SwitchOffMissing(found, boxes_);
  SettingsWindow window{boxes_, entries_, messages_, applicationName_};
  LoadSettings(profile_, settings_, window);
}

void HeadlessWindow::OnOK(PlatformServices& platform) {
  CleanRunWindow window{boxes_, status_, waitCursor_, entries_, [this] { OnCancel(); }};
  RunClean(window, locations_, settings_, platform);
}

void HeadlessWindow::OnCancel() {
  if (ended_) return;
  ended_ = true;
  SettingsWindow window{boxes_, entries_, messages_, applicationName_};
  SaveSettings(profile_, settings_, window);
}

std::vector<CleanEntry> HeadlessWindow::Entries() const {
  std::vector<CleanEntry> entries;
  CleanEntry entry;
  for (int row = 0; row < entries_.Count(); ++row)
    if (entries_.GetEntry(row, entry)) entries.push_back(entry);
  return entries;
}
