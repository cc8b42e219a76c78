#pragma once

#include "winui/windows_api.h"

#include <string>

#include "engine/clean_plan.h"
#include "settings/clean_entry.h"
#include "settings/clean_settings.h"
#include "settings/entry_commands.h"

// The windows the main window opens over itself. The program opens the real
// ones; the main window's tests put in their own.
class SecondaryWindows {
 public:
  virtual ~SecondaryWindows() = default;
  // The entry editor on `entry`; true when the user confirmed.
  virtual bool EditEntry(HWND owner, CleanEntry& entry, EntryEditMode mode) = 0;
  // The options dialog on `settings`, which it changes only on OK.
  virtual void ShowOptions(HWND owner, CleanSettings& settings) = 0;
  // The preview of `plan`, gathered under `settings`.
  virtual void ShowPreview(HWND owner, CleanPlan plan, const CleanSettings& settings) = 0;
  virtual void ShowAbout(HWND owner) = 0;
  virtual void ShowHelpContents(HWND owner) = 0;
  // The help at `section`, an anchor of the help document ("editor"...).
  virtual void ShowHelpSection(HWND owner, const std::string& section) = 0;
};
