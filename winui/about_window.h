#pragma once

#include "winui/windows_api.h"

// The About box as a modal dialog over `owner`: the program's icon, name
// and version; OK, Escape and the close box end it. F1 in it reaches the
// owner as WM_HELP, from a window HelpSectionOf names "about".
void RunAboutBox(HWND owner);
