#include <unistd.h>

#include "platform/terminal.h"

bool IsTerminal(std::FILE* stream) { return ::isatty(::fileno(stream)) == 1; }

// A terminal shows the bytes it is given in its own encoding.
void UseUtf8Console() {}

void WriteText(std::FILE* stream, std::string_view text) {
  std::fwrite(text.data(), 1, text.size(), stream);
}
