#pragma once

#include <string>
#include <string_view>

// Text is UTF-8 inside the program and UTF-16 at the Windows calls. Windows
// names need not be valid UTF-16: a lone surrogate is carried through as its
// three-byte UTF-8 form (WTF-8), so that every name the system lists comes
// back unchanged when it is handed back to the system.

// UTF-16 to UTF-8, lone surrogates in their three-byte form.
std::string NarrowFromWide(std::wstring_view wide);

// UTF-8 (lone surrogates included) to UTF-16. A byte that belongs to no
// valid sequence becomes U+FFFD: no file's name holds it, so a path made of
// such bytes names no file rather than another one.
std::wstring WideFromNarrow(std::string_view narrow);
