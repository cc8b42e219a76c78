#pragma once

#include <cstdint>
#include <string>
#include <string_view>

// A file name for a message line: in single quotes, with every control
// character (a newline above all), the backslash and the quote written as a
// backslash escape, so that one message stays one line whatever the name
// holds. Other bytes, UTF-8 or not, pass unchanged.
std::string QuotedForMessage(std::string_view name);
