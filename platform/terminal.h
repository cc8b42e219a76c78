#pragma once

#include <cstdio>

// Whether `stream` goes to a terminal (where a progress line can be
// redrawn in place), as the system tells; defined by each backend.
bool IsTerminal(std::FILE* stream);
