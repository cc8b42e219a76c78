#include "session/cleaner_session.h"

#include <utility>

#include "engine/clean_run.h"
#include "engine/discover_locations.h"
#include "session/category_tips.h"
#include "settings/settings_store.h"

CleanerSession::CleanerSession(SessionControls controls, SessionSources sources,
                               PlatformServices platform, std::function<void()> onEnded)
    : controls_(controls),
      sources_(std::move(sources)),
      platform_(platform),
      onEnded_(std::move(onEnded)),
      entries_(controls_.list, controls_.messages) {}

void CleanerSession::Start() {
  const DiscoveredLocations found = DiscoverLocations(sources_.registry, sources_.environment);
  locations_ = found.locations;
  SwitchOffMissing(found, controls_.boxes);
  SettingsWindow window{controls_.boxes, entries_, controls_.messages, sources_.applicationName};
  LoadSettings(sources_.profile, settings_, window);
}

void CleanerSession::Clean() {
  CleanRunWindow window{controls_.boxes, controls_.status, controls_.waitCursor, entries_,
                        [this] { Exit(); }};
  RunClean(window, locations_, settings_, platform_);
}

CleanPlan CleanerSession::GatherPreview(const GatherObserver& observer) {
  return Gather(observer, /*guard=*/true);
}

CleanPlan CleanerSession::GatherClean(const GatherObserver& observer) {
  return Gather(observer, /*guard=*/false);
}

CleanPlan CleanerSession::Gather(const GatherObserver& observer, bool guard) {
  ScopedWaitCursor cursor(controls_.waitCursor);
  GatherObserver shown = observer;
  shown.onStep = [this, &observer](const std::string& step) {
    controls_.status.SetText(step);
    controls_.status.Repaint();
    if (observer.onStep) observer.onStep(step);
  };
  CleanPlan plan = GatherCleanPlan(Selection(), settings_, platform_.files, guard, shown);
  controls_.status.SetText("");
  return plan;
}

void CleanerSession::Exit() {
  if (ended_) return;
  ended_ = true;
  SettingsWindow window{controls_.boxes, entries_, controls_.messages, sources_.applicationName};
  SaveSettings(sources_.profile, settings_, window);
  if (onEnded_) onEnded_();
}

std::string CleanerSession::BoxTip(ControlId box) {
  CategoryTipSources sources{locations_, {}, sources_.environment.Get("HOME").value_or("")};
  if (box == ControlId::kRecycleBinBox) sources.binFolders = platform_.trash.BinFolders();
  return CategoryTip(box, sources);
}

CleanSelection CleanerSession::Selection() const {
  const CheckBoxes& boxes = controls_.boxes;
  CleanSelection selection{[&boxes](ControlId box) { return boxes.GetCheck(box) != 0; }, locations_,
                           EntriesTopFirst()};
  selection.trash = &platform_.trash;
  return selection;
}

std::vector<CleanEntry> CleanerSession::EntriesTopFirst() const {
  std::vector<CleanEntry> entries;
  for (int row = 0; row < entries_.Count(); ++row) {
    CleanEntry entry;
    if (entries_.GetEntry(row, entry)) entries.push_back(std::move(entry));
  }
  return entries;
}
