#pragma once

#include "resources/main_menu.h"
#include "settings/entry_commands.h"

// What the main window does for each command of its menu bar and pop-up
// menu, the same on every toolkit: the window's own steps on `window` (its
// OnOK, OnCancel, OnOptions, OnPreview, OnHelpContents and OnAbout), the
// entry commands on `entries`.
template <typename MainWindow>
void RunMenuCommand(MenuCommand command, MainWindow& window, EntryCommands& entries) {
  switch (command) {
    case MenuCommand::kClean:
      window.OnOK();
      break;
    case MenuCommand::kExit:
      window.OnCancel();
      break;
    case MenuCommand::kOptions:
      window.OnOptions();
      break;
    case MenuCommand::kPreview:
      window.OnPreview();
      break;
    case MenuCommand::kHelpContents:
      window.OnHelpContents();
      break;
    case MenuCommand::kAbout:
      window.OnAbout();
      break;
    case MenuCommand::kAddEntry:
      entries.OnAddEntry();
      break;
    case MenuCommand::kCopyEntry:
      entries.OnCopyEntry();
      break;
    case MenuCommand::kModifyEntry:
      entries.OnEditEntry();
      break;
    case MenuCommand::kDeleteEntry:
      entries.OnDeleteEntry();
      break;
  }
}
