#include "platform/win32/win32_program_launcher.h"

#include "platform/win32/nt_files.h"
#include "platform/win32/wide_text.h"
// After windows.h.
#include <shellapi.h>

bool Win32ProgramLauncher::Open(const std::string& path) {
  if (path.empty()) return false;
  const std::wstring file = WideFromNarrow(path);
  // ShellExecute answers a number above 32 when it started something.
  const auto result = reinterpret_cast<INT_PTR>(
      ::ShellExecuteW(nullptr, L"open", file.c_str(), nullptr, nullptr, SW_SHOWNORMAL));
  return result > 32;
}
