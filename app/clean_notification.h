#pragma once

#include <string>

#include "engine/clean_plan.h"
#include "platform/program_launcher.h"

// The desktop notification after a clean that nobody watches (the desktop
// action "Clean now"): what it deleted, the bytes it freed and what failed,
// shown through the freedesktop notification service by notify-send.

// The notification's text: "Deleted 1,234 files, freeing 5.1 MB
// (5,119,000 bytes)." and, where some failed, "3 could not be deleted."
std::string CleanNotificationText(const CleanReport& report);

// Asks the desktop to show the report. Where there is no notify-send, or
// no notification service answers it, nothing is shown and nothing fails.
void NotifyCleanReport(ProgramLauncher& launcher, const CleanReport& report);
