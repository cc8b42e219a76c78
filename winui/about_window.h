#pragma once

#include "winui/windows_api.h"

// The About box as a modal dialog over `owner`: the program's icon, name
// and version; OK, Escape and the close box end it.
void RunAboutBox(HWND owner);
