#include "engine/clean_run.h"

#include <string>

#include "engine/deletion.h"
#include "engine/file_list.h"
#include "engine/recycle_bin.h"
#include "engine/sweep.h"
#include "settings/categories.h"

namespace {

// Sets the text and has it drawn before the next, possibly long, step.
void ShowStep(StatusLine& status, const std::string& text) {
  status.SetText(text);
  status.Repaint();
}

void GatherCategories(CleanRunWindow& window, const CleanLocations& locations,
                      FileSystem& files, FileList& gathered) {
  for (const Category& category : kCategories) {
    if (!window.boxes.GetCheck(category.box)) continue;
    for (const CategorySweep& sweep : category.sweeps) {
      const std::string& directory = locations.*sweep.directory;
      if (directory.empty()) continue;
      ShowStep(window.status, sweep.status);
      SweepDirectory(files, gathered, directory, sweep.pattern, sweep.recurse);
    }
  }
}

// An empty path would make the search start at the root of the file system,
// and one not beginning at the root would name files in whatever directory
// the program was started from (the home, from cron). Such an entry (left by
// an edit or a hand-edited profile) names nothing to clean.
bool NamesSomethingToClean(const CleanEntry& entry) {
  return entry.path.starts_with(kPathSeparator);
}

void GatherWildcardEntry(CleanRunWindow& window, const CleanEntry& entry, FileSystem& files,
                         FileList& gathered) {
  ShowStep(window.status, "Searching in " + entry.path + " for files matching " + entry.wildcard);
  std::string directory = entry.path;
  if (directory.ends_with(kPathSeparator)) directory.pop_back();
  SweepDirectory(files, gathered, directory, kPathSeparator + entry.wildcard, entry.recurse);
}

void GatherEntries(CleanRunWindow& window, FileSystem& files, FileList& gathered) {
  CleanEntry entry;
  for (int row = 0; row < window.entries.Count(); ++row) {
    if (!window.entries.GetEntry(row, entry) || !NamesSomethingToClean(entry)) continue;
    if (entry.individual)
      gathered.Append(entry.path);
    else
      GatherWildcardEntry(window, entry, files, gathered);
  }
}

}  // namespace

void RunClean(CleanRunWindow& window, const CleanLocations& locations,
              const CleanSettings& settings, PlatformServices& platform) {
  ScopedWaitCursor cursor(window.waitCursor);
  FileList gathered;
  GatherCategories(window, locations, platform.files, gathered);
  GatherEntries(window, platform.files, gathered);

  ShowStep(window.status, "Cleaning files...");
  {
    ScopedFileBatch batch(platform.files);
    for (std::size_t index = 0; index < gathered.Count(); ++index)
      DeleteListedFile(platform.files, settings, gathered.At(index), gathered.ListedInAt(index));
  }

  if (window.boxes.GetCheck(ControlId::kRecycleBinBox)) {
    ShowStep(window.status, "Emptying recycle-bin...");
    EmptyRecycleBin(platform.files, platform.trash, window.waitCursor);
  }
  if (settings.m_bAutoRun) {
    ShowStep(window.status, "Running external program...");
    platform.launcher.Open(settings.m_strExeToRun);
  }
  if (settings.m_bQuitAfterCleaning && window.exit) window.exit();
  window.status.SetText("");
}
