#pragma once

#include "winui/windows_api.h"

#include <string>

// A dialog control's text as UTF-8, whole whatever its length.
std::string DialogItemText(HWND dialog, int id);

// Sets a dialog control's text from UTF-8.
void SetDialogItemText(HWND dialog, int id, const std::string& text);

// Whether a check box or radio button is on, and switching it.
bool IsItemChecked(HWND dialog, int id);
void SetItemChecked(HWND dialog, int id, bool checked);
