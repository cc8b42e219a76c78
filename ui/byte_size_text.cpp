#include "ui/byte_size_text.h"

#include <array>

QString GroupedNumber(std::uint64_t number) {
  QString digits = QString::number(number);
  for (qsizetype at = digits.size() - 3; at > 0; at -= 3) digits.insert(at, QLatin1Char(','));
  return digits;
}

QString ByteSizeText(std::uint64_t bytes) {
  if (bytes < 1000)
    return bytes == 1 ? QStringLiteral("1 byte") : QStringLiteral("%1 bytes").arg(bytes);
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
  return QStringLiteral("%1.%2 %3")
      .arg(tenths / 10)
      .arg(tenths % 10)
      .arg(QLatin1String(kUnits[unit]));
}

QString ByteTotalText(std::uint64_t bytes) {
  if (bytes < 1000) return ByteSizeText(bytes);
  return QStringLiteral("%1 (%2 bytes)").arg(ByteSizeText(bytes), GroupedNumber(bytes));
}
