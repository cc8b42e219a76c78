#pragma once

#include "winui/windows_api.h"

#include <functional>
#include <string>

// For tests that open a modal window (a dialog or a message box): runs
// `action` on the next one this thread opens, from inside its own message
// loop, as a user would act on it. Actions queue up, one for each window.
void OnNextDialog(std::function<void(HWND dialog)> action);

// How many queued actions have not found their window yet.
int PendingDialogActions();

// The text of a window (a caption, a control's text) as UTF-8.
std::string TextOf(HWND window);

// Clicks a dialog's button by its identifier.
void ClickButton(HWND dialog, int id);
