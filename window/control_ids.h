#pragma once

// Numbers of the main window's controls that the engine and the settings
// code refer to. They are the window's own identifiers, kept so that every
// layer names a control the same way.
enum class ControlId : int {
  kRecentBox = 1000,        // "Remove &Recent Documents"
  kNetscapeBox = 1001,      // "Remove &Netscape Cached Data"
  kIECacheBox = 1002,       // "Remove &MS Browser Cached Data"
  kIEHistoryBox = 1004,     // "Remove MS Browser &History Data"
  kTempBox = 1005,          // "Remove &Temp Files"
  kRecycleBinBox = 1028,    // "Empty &Waste Basket"
};

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
