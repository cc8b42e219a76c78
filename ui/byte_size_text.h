#pragma once

#include <cstdint>

#include <QString>

#include "session/size_text.h"

// The sizes and counts of session/size_text.h, as the window's texts.

inline QString ByteSizeText(std::uint64_t bytes) {
  return QString::fromStdString(ReadableSize(bytes));
}

inline QString GroupedNumber(std::uint64_t number) {
  return QString::fromStdString(GroupedDigits(number));
}

inline QString ByteTotalText(std::uint64_t bytes) {
  return QString::fromStdString(ReadableTotal(bytes));
}
