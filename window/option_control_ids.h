#pragma once

// Numbers of the options dialog's controls that each show one option.
enum class OptionControlId : int {
  kAutoRunBox = 1001,            // "&Auto-run application after cleaning"
  kProgramEdit = 1024,           // the program to run
  kQuitAfterCleaningBox = 1025,  // "&Quit after cleaning"
  kSaveSettingsBox = 1026,       // "Save se&ttings on exit"
  kSystemFilesBox = 1029,        // "Delete &system files"
  kReadOnlyFilesBox = 1030,      // "Delete &read-only files"
  kHiddenFilesBox = 1031,        // "Delete &hidden files"
  kAutoCleanBox = 1032,          // "Auto- c&lean on startup"
};
