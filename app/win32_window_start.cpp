#include <cstdio>

#include "app/application_paths.h"
#include "app/startup_sources.h"
#include "app/window_start.h"
#include "platform/platform_services.h"
#include "winui/help_opener.h"
#include "winui/main_window.h"
#include "winui/program_windows.h"
#include "winui/system_ui_services.h"

namespace {

bool Missing(DWORD stream) {
  HANDLE handle = GetStdHandle(stream);
  return handle == nullptr || handle == INVALID_HANDLE_VALUE;
}

}  // namespace

// dustral.exe, the window program. Started from a console (say with
// --preview), it writes there, though the prompt has come back already; the
// console companion dustral.com is the one to type. Started from Explorer, a
// shortcut or the Task Scheduler it has no output at all: what it would
// print goes to NUL, so that a --clean run there ends with the status of its
// deletions rather than failing on a report nobody could read.
OutputStreams PrepareProcess() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  OutputStreams streams;
  if (!Missing(STD_OUTPUT_HANDLE) && !Missing(STD_ERROR_HANDLE)) return streams;
  // The C runtime gave the streams no descriptor at its start; they are
  // opened anew rather than reopened, which not every runtime allows.
  const wchar_t* place = AttachConsole(ATTACH_PARENT_PROCESS) ? L"CONOUT$" : L"NUL";
  if (Missing(STD_OUTPUT_HANDLE))
    if (std::FILE* out = _wfopen(place, L"w")) streams.out = out;
  if (Missing(STD_ERROR_HANDLE))
    if (std::FILE* err = _wfopen(place, L"w")) streams.err = err;
  return streams;
}

int OpenWindow(const std::filesystem::path& executable, const std::string&, StartupSources& sources,
               bool autoCleanAllowed, int, char**) {
  SystemUiServices ui;
  BrowserHelpOpener help(FindHelpFile(executable), sources.ApplicationName(), ui);
  const PlatformServices platform = SystemPlatformServices();
  ProgramWindows windows(ui, help, platform);
  CCleanerDlg window(
      MainWindowContext{ui, windows, platform, sources.ForSession(), autoCleanAllowed});
  return window.DoModal();
}
