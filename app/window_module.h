#pragma once

// The window lives in a module of its own (libdustral_window.so), so that
// the program loads the toolkit only when it opens its window: the command
// line and the unattended clean start without it. This is the one entry
// point the module exports, C-named so that dlsym finds it.
//
// Runs the window of the program `executable` (its name and help file
// follow from it) on the start-up `sources` the program has read already
// (the settings are read once a start), with the start-up clean unless
// `autoCleanAllowed` is 0; `argc` and `argv` are the process's own, for the
// toolkit. Returns the exit status. Program and module are built together,
// so the sources' class is the same on both sides.
class StartupSources;
extern "C" int dustral_run_window(const char* executable, StartupSources* sources,
                                  int autoCleanAllowed, int argc, char** argv);

// The name dlsym looks for.
inline constexpr char kWindowEntryPoint[] = "dustral_run_window";
// The module's file name.
inline constexpr char kWindowModuleName[] = "libdustral_window.so";
