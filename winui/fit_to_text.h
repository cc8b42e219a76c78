#pragma once

#include "winui/windows_api.h"

// Grows the check boxes, radio buttons and one-line labels of `dialog` so
// that their whole text shows in the dialog's font. The templates were
// drawn for a narrower font than the one the system now gives "MS Shell
// Dlg" (and a radio button 7 units high holds no 8-point text); a grown
// control keeps its left edge and its vertical centre. Group boxes are made
// to leave alone the controls drawn over their frame, as the entry
// editor's radio buttons are.
void FitControlsToText(HWND dialog);
