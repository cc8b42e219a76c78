#pragma once

#include <cstdint>
#include <string>

#include "settings/clean_settings.h"
#include "window/option_control_ids.h"

// The program's options in one table that the settings store and the
// options dialog read. A new option is a member of CleanSettings (whose
// initial value is the option's default), a row here and a control in the
// options dialog's template.
struct Option {
  const char* valueName;  // stored in "Default Settings"
  // The member it is kept in: a flag (a check box) or a text (an edit line).
  int32_t CleanSettings::*flag = nullptr;
  std::string CleanSettings::*text = nullptr;
  OptionControlId control;  // where the options dialog shows it
};

// In the order in which they are loaded and saved. "Save settings" is saved
// first of all, and the others only when it is on.
inline constexpr Option kOptions[] = {
    {"Auto-run EXE", &CleanSettings::m_bAutoRun, nullptr, OptionControlId::kAutoRunBox},
    {"Auto-clean", &CleanSettings::m_bAutoClean, nullptr, OptionControlId::kAutoCleanBox},
    {"Save settings", &CleanSettings::m_bSaveSettings, nullptr, OptionControlId::kSaveSettingsBox},
    {"Quit after cleaning", &CleanSettings::m_bQuitAfterCleaning, nullptr,
     OptionControlId::kQuitAfterCleaningBox},
    {"Exe to run", nullptr, &CleanSettings::m_strExeToRun, OptionControlId::kProgramEdit},
    {"Del Read-Only Files", &CleanSettings::m_bDelReadOnlyFiles, nullptr,
     OptionControlId::kReadOnlyFilesBox},
    {"Del System Files", &CleanSettings::m_bDelSystemFiles, nullptr,
     OptionControlId::kSystemFilesBox},
    {"Del Hidden Files", &CleanSettings::m_bDelHiddenFiles, nullptr,
     OptionControlId::kHiddenFilesBox},
};

// The row of "Save settings".
inline constexpr const Option& kSaveSettingsOption = kOptions[2];
