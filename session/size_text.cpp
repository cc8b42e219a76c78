#include "session/size_text.h"

#include <array>

std::string ReadableSize(std::uint64_t bytes) {
  if (bytes < 1000) return std::to_string(bytes) + (bytes == 1 ? " byte" : " bytes");
  static constexpr std::array<const char*, 6> kUnits{"kB", "MB", "GB", "TB", "PB", "EB"};
  // Tenths of the unit, rounded, computed in integers so that no size is
  // shown as "1000.0 kB": a value that rounds up to 1000 moves on a unit.
  std::uint64_t scale = 1000;
  std::size_t unit = 0;
  while (unit + 1 < kUnits.size() && bytes >= scale * 1000 - scale / 20) {
    scale *= 1000;
    ++unit;
  }
  const std::uint64_t tenths = bytes / (scale / 10) + (bytes % (scale / 10) >= scale / 20 ? 1 : 0);
  return std::to_string(tenths / 10) + "." + std::to_string(tenths % 10) + " " + kUnits[unit];
}

std::string GroupedDigits(std::uint64_t number) {
  const std::string digits = std::to_string(number);
  std::string grouped;
  for (std::size_t at = 0; at < digits.size(); ++at) {
    if (at > 0 && (digits.size() - at) % 3 == 0) grouped += ',';
    grouped += digits[at];
  }
  return grouped;
}

std::string ReadableTotal(std::uint64_t bytes) {
  if (bytes < 1000) return ReadableSize(bytes);
  return ReadableSize(bytes) + " (" + GroupedDigits(bytes) + " bytes)";
}
