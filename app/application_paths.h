#pragma once

#include <filesystem>
#include <string>

// The application's name: the executable's file name without its
// extension ("dustral" for .../dustral, "DUSTRAL" for DUSTRAL.EXE). It names
// the program's key in the registry file and captions its messages.
std::string ApplicationNameOf(const std::filesystem::path& executable);

// The help file: the executable's path with its extension replaced by
// ".HLP", or with ".HLP" appended when it has none.
std::filesystem::path HelpFileOf(const std::filesystem::path& executable);

// The running program's own file, as the system reports it (links
// resolved); `argv0` made absolute where the system can't tell.
std::filesystem::path RunningExecutable(const char* argv0);
