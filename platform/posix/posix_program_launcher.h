#pragma once

#include <string>
#include <utility>
#include <vector>

#include "platform/program_launcher.h"

// Starts an executable regular file itself; anything else is handed to the
// desktop's opener (xdg-open). Either way the new process runs detached: in
// a session of its own, its standard streams on /dev/null, reparented so
// that it never becomes our zombie. No shell is involved, so no name needs
// quoting.
class PosixProgramLauncher : public ProgramLauncher {
 public:
  // `opener` is found in PATH unless it contains a '/'.
  explicit PosixProgramLauncher(std::string opener = "xdg-open") : opener_(std::move(opener)) {}

  bool Open(const std::string& path) override;
  bool StartCommand(const std::string& command, const std::vector<std::string>& arguments) override;

 private:
  std::string opener_;
};
