#pragma once

#include <string>
#include <vector>

// The program's command line as UTF-8, its own name first. POSIX hands
// `argv` over as it is; Windows reads the command line as UTF-16, since the
// `argv` it builds is in the local code page and loses every name outside
// it. Defined by each backend.
std::vector<std::string> ProgramArguments(int argc, char* argv[]);
