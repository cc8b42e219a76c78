#include "engine/clean_run.h"

#include <string>
#include <vector>

#include "engine/clean_plan.h"

namespace {

// Sets the text and has it drawn before the next, possibly long, step.
void ShowStep(StatusLine& status, const std::string& text) {
  status.SetText(text);
  status.Repaint();
}

// The rows that can be read, top row first.
std::vector<CleanEntry> ReadEntries(const EntryList& list) {
  std::vector<CleanEntry> entries;
  for (int row = 0; row < list.Count(); ++row) {
    CleanEntry entry;
    if (list.GetEntry(row, entry)) entries.push_back(std::move(entry));
  }
  return entries;
}

}  // namespace

void RunClean(CleanRunWindow& window, const CleanLocations& locations,
              const CleanSettings& settings, PlatformServices& platform) {
  ScopedWaitCursor cursor(window.waitCursor);
  {
    CleanSelection selection{[&window](ControlId box) { return window.boxes.GetCheck(box) != 0; },
                             locations, ReadEntries(window.entries)};
    selection.trash = &platform.trash;
    GatherObserver observer;
    observer.onStep = [&window](const std::string& step) { ShowStep(window.status, step); };
    // Unguarded: nobody has seen this plan, so there is nothing it must
    // match; the attribute check at each deletion is what decides.
    const CleanPlan plan =
        GatherCleanPlan(selection, settings, platform.files, /*guard=*/false, observer);
    ShowStep(window.status, "Cleaning files...");
    ExecuteCleanPlan(plan, settings, platform.files, {},
                     [&window] { ShowStep(window.status, "Emptying recycle-bin..."); });
  }

  if (settings.m_bAutoRun) {
    ShowStep(window.status, "Running external program...");
    platform.launcher.Open(settings.m_strExeToRun);
  }
  if (settings.m_bQuitAfterCleaning && window.exit) window.exit();
  window.status.SetText("");
}
