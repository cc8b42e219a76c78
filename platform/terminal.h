#pragma once

#include <cstdio>
#include <string_view>

// Whether `stream` goes to a terminal (where a progress line can be
// redrawn in place), as the system tells; defined by each backend.
bool IsTerminal(std::FILE* stream);

// Makes a console that standard output or error is written to show the
// program's UTF-8 as text, until the process ends. Nothing to do where a
// terminal takes the bytes as they are. Called once, at the start of main().
void UseUtf8Console();

// Writes the UTF-8 `text` to `stream`. To a Windows console it goes past the
// C runtime, whose console output reads the bytes in the ANSI code page
// (Wine's does), straight to the console, which reads them as UTF-8 once
// UseUtf8Console has run; elsewhere it is fwrite.
void WriteText(std::FILE* stream, std::string_view text);
