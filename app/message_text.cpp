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

std::string ReadableSize(std::uint64_t bytes) {
  if (bytes < 1000) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  constexpr const char* kUnits[] = {"kB", "MB", "GB", "TB", "PB", "EB"};
  // Tenths of the unit, rounded in integers; a size that would round up to
  // "1000.0" of a unit moves on to the next.
  std::uint64_t scale = 1000;
  std::size_t unit = 0;
  while (unit + 1 < std::size(kUnits) && bytes >= scale * 1000 - scale / 20) {
    scale *= 1000;
    ++unit;
  }
  const std::uint64_t tenths = bytes / (scale / 10) + (bytes % (scale / 10) >= scale / 20 ? 1 : 0);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + kUnits[unit];
}
