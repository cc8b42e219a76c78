#pragma once

#include "platform/program_launcher.h"

// Opens a program or a document the way Explorer does (ShellExecuteW with
// the "open" verb), without waiting for it.
class Win32ProgramLauncher : public ProgramLauncher {
 public:
  bool Open(const std::string& path) override;
};
