#include "winui/program_windows.h"

#include "winui/about_window.h"
#include "winui/entry_editor_window.h"
#include "winui/options_window.h"

bool ProgramWindows::EditEntry(HWND owner, CleanEntry& entry, EntryEditMode mode) {
  return RunEntryEditor(owner, entry, mode, ui_);
}

void ProgramWindows::ShowOptions(HWND owner, CleanSettings& settings) {
  RunOptionsDialog(owner, settings, ui_, help_);
}

void ProgramWindows::ShowPreview(HWND owner, CleanPlan, const CleanSettings&) {
  // The preview window is built on a branch of its own; until it is merged
  // the program says so rather than showing nothing.
  ui_.ShowMessage(owner, MessageRequest{"The preview window is not built on Windows yet; "
                                        "\"dustral --preview\" lists what a clean would delete.",
                                        kMessageCaption, MessageIcon::kExclamation});
}

void ProgramWindows::ShowAbout(HWND owner) { RunAboutBox(owner); }

void ProgramWindows::ShowHelpContents(HWND owner) { help_.ShowContents(owner); }
