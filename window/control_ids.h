#pragma once

// Numbers of the main window's controls that the engine and the settings
// code refer to. They are the window's own identifiers, kept so that every
// layer names a control the same way.
enum class ControlId : int {
  kRecentBox = 1000,      // "Remove &Recent Documents"
  kNetscapeBox = 1001,    // "Remove &Netscape Cached Data"
  kIECacheBox = 1002,     // "Remove &MS Browser Cached Data"
  kIEHistoryBox = 1004,   // "Remove MS Browser &History Data"
  kTempBox = 1005,        // "Remove &Temp Files"
  kRecycleBinBox = 1028,  // "Empty &Waste Basket"
};
