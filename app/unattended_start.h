#pragma once

#include <optional>

class StartupSources;

// The start of a program whose options say "Auto-clean" and "Quit after
// cleaning": its window would end during its own start-up, never shown. So
// the clean runs here, before any widget (or the toolkit) is loaded, on
// in-memory controls, and the settings are saved as the window's Exit
// saves them. Returns the exit status when it ran, nothing when the window
// is to open instead, from the same `sources`.
std::optional<int> RunUnattendedStart(StartupSources& sources);
