#pragma once

#include "winui/windows_api.h"

#include "settings/clean_settings.h"
#include "winui/help_opener.h"
#include "winui/win32_ui_services.h"

// The options dialog as a modal dialog over `owner`, on `settings`, which
// it changes only on a confirmed OK (then true). "&Help" and F1 open the
// help at its section on the options and leave the dialog open.
bool RunOptionsDialog(HWND owner, CleanSettings& settings, Win32UiServices& ui, HelpOpener& help);
