#include <unistd.h>

#include "platform/terminal.h"

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

// A terminal shows the bytes it is given in its own encoding.
void UseUtf8Console() {}
