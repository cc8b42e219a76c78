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
void PrepareProcess() {
  SetErrorMode(SEM_FAILCRITICALERRORS | SEM_NOOPENFILEERRORBOX);
  if (!Missing(STD_OUTPUT_HANDLE) && !Missing(STD_ERROR_HANDLE)) return;
  const bool console = AttachConsole(ATTACH_PARENT_PROCESS) != FALSE;
  const char* place = console ? "CONOUT$" : "NUL";
  if (Missing(STD_OUTPUT_HANDLE) && !std::freopen(place, "w", stdout)) return;
  if (Missing(STD_ERROR_HANDLE)) std::freopen(place, "w", stderr);
}

int OpenWindow(const std::filesystem::path& executable, const std::string&, bool autoCleanAllowed,
               int, char**) {
  StartupSources sources(ApplicationNameOf(executable));
  SystemUiServices ui;
  BrowserHelpOpener help(FindHelpFile(executable), sources.ApplicationName(), ui);
  const PlatformServices platform = SystemPlatformServices();
  ProgramWindows windows(ui, help, platform);
  CCleanerDlg window(
      MainWindowContext{ui, windows, platform, sources.ForSession(), autoCleanAllowed});
  return window.DoModal();
}
