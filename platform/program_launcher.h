#pragma once

#include <string>

// Starts a program, or opens a document with the desktop's default
// application, without waiting for it.
class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // True when a start was attempted; whether the program then ran is not
  // known to the caller.
  virtual bool Open(const std::string& path) = 0;
};
