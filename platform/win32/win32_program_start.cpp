#include <windows.h>

#include <shellapi.h>

#include "platform/descriptor_limit.h"
#include "platform/program_arguments.h"
#include "platform/program_module.h"
#include "platform/win32/wide_text.h"

std::vector<std::string> ProgramArguments(int argc, char* argv[]) {
  int count = 0;
  LPWSTR* wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
  if (!wide) return std::vector<std::string>(argv, argv + argc);
  std::vector<std::string> arguments;
  arguments.reserve(static_cast<std::size_t>(count));
  for (int i = 0; i < count; ++i) arguments.push_back(NarrowFromWide(wide[i]));
  ::LocalFree(wide);
  return arguments;
}

std::filesystem::path RunningProgramFile() {
  std::wstring file(MAX_PATH, L'\0');
  for (;;) {
    const DWORD length =
        ::GetModuleFileNameW(nullptr, file.data(), static_cast<DWORD>(file.size()));
    if (length == 0) return {};
    if (length < file.size()) {
      file.resize(length);
      return std::filesystem::path(file);
    }
    file.resize(file.size() * 2);  // cut short: try again with more room
  }
}

// Handles have no small per-process limit on Windows, and the backend opens
// no C runtime descriptors: nothing to raise.
void RaiseDescriptorLimit() {}
