#include "app/message_text.h"

#include <cstdio>

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
  if (bytes < 1024) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  constexpr const char* kUnits[] = {"KiB", "MiB", "GiB", "TiB", "PiB", "EiB"};
  double size = static_cast<double>(bytes) / 1024;
  std::size_t unit = 0;
  while (size >= 1024 && unit + 1 < std::size(kUnits)) {
    size /= 1024;
    ++unit;
  }
  char text[32];
  std::snprintf(text, sizeof text, "%.1f %s", size, kUnits[unit]);
  return text;
}
