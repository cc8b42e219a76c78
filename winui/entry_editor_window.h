#pragma once

#include "winui/windows_api.h"

#include "settings/clean_entry.h"
#include "settings/entry_commands.h"
#include "winui/win32_ui_services.h"

// The entry editor as a modal dialog over `owner`, on `entry`. True when the
// user confirmed; only then is `entry` changed. F1 in it reaches the owner
// as WM_HELP, whose window HelpSectionOf (winui/help_sections.h) names
// "editor".
bool RunEntryEditor(HWND owner, CleanEntry& entry, EntryEditMode mode, Win32UiServices& ui);
