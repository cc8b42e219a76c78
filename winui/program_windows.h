#pragma once

#include "winui/windows_api.h"

#include "platform/platform_services.h"
#include "winui/help_opener.h"
#include "winui/secondary_windows.h"
#include "winui/win32_ui_services.h"
#include "winui/win32_window_controls.h"

// The windows the main window opens, as the program shows them: the entry
// editor, the options dialog, the preview, About and the help document.
class ProgramWindows : public SecondaryWindows {
 public:
  ProgramWindows(Win32UiServices& ui, HelpOpener& help, PlatformServices platform)
      : ui_(ui), help_(help), platform_(platform) {}

  bool EditEntry(HWND owner, CleanEntry& entry, EntryEditMode mode) override;
  void ShowOptions(HWND owner, CleanSettings& settings) override;
  void ShowPreview(HWND owner, CleanPlan plan, const CleanSettings& settings) override;
  void ShowAbout(HWND owner) override;
  void ShowHelpContents(HWND owner) override;
  void ShowHelpSection(HWND owner, const std::string& section) override;

 private:
  Win32UiServices& ui_;
  HelpOpener& help_;
  PlatformServices platform_;
  Win32WaitCursor waitCursor_;
};
