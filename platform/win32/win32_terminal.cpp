#include <windows.h>

#include <io.h>

#include <algorithm>
#include <cstdlib>

#include "platform/terminal.h"

namespace {

// The console's output code page before UseUtf8Console, 0 while unchanged.
UINT codePageAtStart = 0;

// The code page belongs to the console, not to this process: the shell and
// whatever runs after the program in the same window would go on with UTF-8.
void RestoreConsoleCodePage() { ::SetConsoleOutputCP(codePageAtStart); }

}  // namespace

bool IsTerminal(std::FILE* stream) {
  // _isatty also says yes for NUL and other character devices; only a
  // console has a console mode.
  const intptr_t handle = ::_get_osfhandle(::_fileno(stream));
  DWORD mode = 0;
  return handle != -1 && ::GetConsoleMode(reinterpret_cast<HANDLE>(handle), &mode) != 0;
}

void UseUtf8Console() {
  if (codePageAtStart != 0) return;
  const UINT current = ::GetConsoleOutputCP();  // 0: no console attached
  if (current == 0 || current == CP_UTF8) return;
  if (::SetConsoleOutputCP(CP_UTF8)) {
    codePageAtStart = current;
    std::atexit(RestoreConsoleCodePage);
  }
}

void WriteText(std::FILE* stream, std::string_view text) {
  if (!IsTerminal(stream)) {
    std::fwrite(text.data(), 1, text.size(), stream);
    return;
  }
  std::fflush(stream);  // what was written through the runtime comes first
  const auto console = reinterpret_cast<HANDLE>(::_get_osfhandle(::_fileno(stream)));
  while (!text.empty()) {
    DWORD written = 0;
    const auto size = static_cast<DWORD>(std::min<std::size_t>(text.size(), 1 << 16));
    if (!::WriteFile(console, text.data(), size, &written, nullptr) || written == 0) return;
    text.remove_prefix(written);
  }
}
