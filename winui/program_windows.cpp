#include "winui/program_windows.h"

#include <utility>

#include "winui/about_window.h"
#include "winui/entry_editor_window.h"
#include "winui/options_window.h"
#include "winui/preview_window.h"

bool ProgramWindows::EditEntry(HWND owner, CleanEntry& entry, EntryEditMode mode) {
  return RunEntryEditor(owner, entry, mode, ui_);
}

void ProgramWindows::ShowOptions(HWND owner, CleanSettings& settings) {
  RunOptionsDialog(owner, settings, ui_, help_);
}

void ProgramWindows::ShowPreview(HWND owner, CleanPlan plan, const CleanSettings& settings) {
  RunPreviewWindow(owner, std::move(plan), settings, platform_.files, platform_.launcher,
                   waitCursor_, ui_);
}

void ProgramWindows::ShowAbout(HWND owner) { RunAboutBox(owner); }

void ProgramWindows::ShowHelpContents(HWND owner) { help_.ShowContents(owner); }

void ProgramWindows::ShowHelpSection(HWND owner, const std::string& section) {
  help_.ShowSection(owner, section);
}
