#pragma once

#include <cstdio>
#include <string>

// --preview and --clean: the saved clean without a window, display or
// toolkit. Both take the settings as the window's start-up takes them (the
// locations found, categories without one switched off, the ticks, entries
// and options as saved) and change no settings. The preview gathers a
// guarded plan; the clean gathers as the window's run does, judging each
// file at its deletion, and reports the bytes the deleted files held.

struct CommandLineRun {
  std::string programName;      // starts every error line
  std::string applicationName;  // names the settings' key
  std::FILE* out = stdout;      // the paths of --preview, the report of --clean
  std::FILE* err = stderr;      // errors, the summary of --preview, progress
  bool notify = false;          // --clean also shows its report as a desktop notification
};

// Prints the path of every file the clean would delete, each ended by a
// newline (or a NUL byte with `nullSeparated`), then the summary on `err`.
// Deletes nothing. Returns the exit status: 0, or 2 when the settings file
// can't be read (1 when the paths could not be written).
int RunPreview(const CommandLineRun& run, bool nullSeparated);

// Deletes the gathered files the deletion options don't spare, empties the
// trash and starts the program after cleaning as the options say; prints
// one line on `err` per file that could not be deleted, then the report on
// `out`. Returns the exit status: 0, 1 when some deletion failed or the
// report could not be written, 2 when the settings file can't be read.
int RunSavedClean(const CommandLineRun& run);
