#pragma once

#include <filesystem>
#include <string>
#include <vector>

// The application's name: the executable's file name without its
// extension ("dustral" for .../dustral, "DUSTRAL" for DUSTRAL.EXE). It names
// the program's key in the registry file and captions its messages.
std::string ApplicationNameOf(const std::filesystem::path& executable);

// The help file: the executable's path with its extension replaced by
// ".HLP", or with ".HLP" appended when it has none.
std::filesystem::path HelpFileOf(const std::filesystem::path& executable);

// Where the help document is looked for, in order: HelpFileOf(executable),
// where a copy of the program may carry its own, then the installed one in
// the program's data folder, <application name>.html. `dataFromBindir` is
// that folder relative to the executable's directory ("../share/dustral").
std::vector<std::filesystem::path> HelpFileCandidates(const std::filesystem::path& executable,
                                                      const std::filesystem::path& dataFromBindir);

// The first candidate that exists, or the installed one when none does (so
// that the message about help that can't be opened names it).
std::filesystem::path FindHelpFile(const std::filesystem::path& executable);

// The running program's own file, as the system reports it (links
// resolved); `argv0` made absolute where the system can't tell.
std::filesystem::path RunningExecutable(const char* argv0);
