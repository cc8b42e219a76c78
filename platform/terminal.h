#pragma once

#include <cstdio>

// Whether `stream` goes to a terminal (where a progress line can be
// redrawn in place), as the system tells; defined by each backend.
bool IsTerminal(std::FILE* stream);

// Makes a console that standard output or error is written to show the
// program's UTF-8 as text, until the process ends. Nothing to do where a
// terminal takes the bytes as they are. Called once, at the start of main().
void UseUtf8Console();
