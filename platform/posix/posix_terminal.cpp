#include <unistd.h>

#include "platform/terminal.h"

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }
