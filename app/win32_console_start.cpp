#include <filesystem>
#include <iostream>
#include <string>

#include "app/command_line.h"
#include "app/window_start.h"
#include "platform/win32/wide_text.h"
// After the headers above, which may include windows.h without its
// lean-and-mean trimming.
#include <windows.h>

namespace {

// What follows the program's own name on the command line, exactly as it
// was typed: the name ends at its closing quote when it starts with one,
// else at the first blank, as Windows splits it.
std::wstring ArgumentsAfterProgramName(const std::wstring& line) {
  std::size_t at = 0;
  if (!line.empty() && line[0] == L'"') {
    at = line.find(L'"', 1);
    at = at == std::wstring::npos ? line.size() : at + 1;
  } else {
    at = line.find_first_of(L" \t");
    if (at == std::wstring::npos) at = line.size();
  }
  return line.substr(at);
}

std::string SystemErrorText(DWORD error) {
  wchar_t* text = nullptr;
  FormatMessageW(
      FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
      nullptr, error, 0, reinterpret_cast<wchar_t*>(&text), 0, nullptr);
  std::wstring message = text ? text : L"";
  LocalFree(text);
  while (!message.empty() && (message.back() == L'\n' || message.back() == L'\r'))
    message.pop_back();
  return message.empty() ? "error " + std::to_string(error) : NarrowFromWide(message);
}

}  // namespace

// dustral.com, the console companion: the command line runs here, where
// the console waits for it; no system box for a drive without a medium.
OutputStreams PrepareProcess() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  return {};
}

// A plain start opens the window in the window program beside this one
// (the same name, ".exe"), with the same arguments, and returns at once, as
// starting a window program from the console does.
int OpenWindow(const std::filesystem::path& executable, const std::string& programName,
               StartupSources&, bool, int, char**) {
  std::filesystem::path windowProgram = executable;
  windowProgram.replace_extension(L".exe");
  std::error_code error;
  // Never itself: a companion renamed to .exe would start itself forever.
  if (std::filesystem::equivalent(windowProgram, executable, error)) {
    std::cerr << programName << ": " << NarrowFromWide(executable.wstring())
              << " is not the window program; start " << programName << " as a .com\n";
    return kExitFailure;
  }
  std::wstring command =
      L"\"" + windowProgram.wstring() + L"\"" + ArgumentsAfterProgramName(GetCommandLineW());
  STARTUPINFOW startup{};
  startup.cb = sizeof startup;
  PROCESS_INFORMATION process{};
  if (!CreateProcessW(windowProgram.c_str(), command.data(), nullptr, nullptr, FALSE, 0, nullptr,
                      nullptr, &startup, &process)) {
    std::cerr << programName << ": can't start " << NarrowFromWide(windowProgram.wstring()) << ": "
              << SystemErrorText(GetLastError()) << '\n';
    return kExitFailure;
  }
  CloseHandle(process.hThread);
  CloseHandle(process.hProcess);
  return kExitSuccess;
}
