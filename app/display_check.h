#pragma once

#include "platform/environment.h"

// Whether the environment names a display the window could open on: the
// toolkit's platform chosen in QT_QPA_PLATFORM (the first of a list), and
// for X11 and Wayland, or when nothing is chosen, DISPLAY or
// WAYLAND_DISPLAY. Without one the toolkit would abort the process; asked
// before it is loaded, so that the program can say why and end cleanly.
bool NamesADisplay(const Environment& environment);

// The one line that says so (without the program's name).
inline constexpr char kNoDisplayText[] =
    "cannot open the window: no display (--preview and --clean need none)";
