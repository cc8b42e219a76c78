#pragma once

#include "winui/windows_api.h"

#include "resources/main_menu.h"

// The main window's menu bar, built from the menu's table: each item's
// command number is its menu identifier.
HMENU BuildMainMenuBar();

// The "&Entry" pop-up alone, for the entry list's context menu; the caller
// destroys it.
HMENU BuildEntryPopup();

// The keys the main window answers beyond the dialog's own Enter and Esc:
// Ctrl+Q leaves as Exit does. The caller destroys the table.
HACCEL BuildMainAccelerators();
