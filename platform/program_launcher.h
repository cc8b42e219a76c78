#pragma once

#include <string>
#include <vector>

// Starts a program, or opens a document with the desktop's default
// application, without waiting for it.
class ProgramLauncher {
 public:
  virtual ~ProgramLauncher() = default;
  // True when a start was attempted; whether the program then ran is not
  // known to the caller.
  virtual bool Open(const std::string& path) = 0;

  // Starts the program `command` (found as a shell would find it) with
  // `arguments` after its name. False when it could not be started, also
  // where the system offers no such start; the caller goes on without it.
  virtual bool StartCommand(const std::string& /*command*/,
                            const std::vector<std::string>& /*arguments*/) {
    return false;
  }
};
