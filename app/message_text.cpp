#include "app/message_text.h"

#include <cstdio>
#include <iterator>

std::string QuotedForMessage(std::string_view name) {
  std::string quoted = "'";
  for (const char c : name) {
    const auto byte = static_cast<unsigned char>(c);
    switch (c) {
      case '\n':
        quoted += "\\n";
        break;
      case '\t':
        quoted += "\\t";
        break;
      case '\r':
        quoted += "\\r";
        break;
      case '\\':
        quoted += "\\\\";
        break;
      case '\'':
        quoted += "\\'";
        break;
      default:
        if (byte < 0x20 || byte == 0x7f) {
          char octal[5];
          std::snprintf(octal, sizeof octal, "\\%03o", byte);
          quoted += octal;
        } else {
          quoted += c;
        }
    }
  }
  return quoted + "'";
}
