#pragma once

#include <cstdint>
#include <string>

// The program's options. Flags are on when non-zero; the stored number is
// kept as it is.
struct CleanSettings {
  int32_t m_bAutoRun = 0;            // start m_strExeToRun after a clean run
  std::string m_strExeToRun;         // the program to start
  int32_t m_bSaveSettings = 1;       // save everything on exit
  int32_t m_bQuitAfterCleaning = 0;  // close the window after a clean run
  int32_t m_bDelSystemFiles = 0;     // sockets, FIFOs and devices may be deleted
  int32_t m_bDelReadOnlyFiles = 0;   // files without owner write may be deleted
  int32_t m_bDelHiddenFiles = 0;     // dot files may be deleted
  int32_t m_bAutoClean = 0;          // clean as soon as the window opens

  bool operator==(const CleanSettings&) const = default;
};
