#pragma once

#include <string>

#include "winui/windows_api.h"

// F1 opens the help at the section about the window it was pressed in. A
// dialog that leaves F1 to its owner (WM_HELP goes up from the control
// with the focus to the dialog and on to its owner) marks itself with its
// section, so that the owner can tell where F1 came from.

// Marks `window` as the one the help's `section` (an anchor of the help
// document, a text that lives as long as the program) is about, until
// UnmarkHelpSection.
void MarkHelpSection(HWND window, const char* section);
void UnmarkHelpSection(HWND window);

// The section about the window that `window` (a control, or the window
// itself) belongs to; "contents" for a window that was not marked.
std::string HelpSectionOf(HWND window);
