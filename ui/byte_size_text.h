#pragma once

#include <cstdint>

#include <QString>

// Sizes as people read them: "512 bytes", "1.2 MB" (decimal units, as file
// managers show them), one digit after the point from a kilobyte on.
QString ByteSizeText(std::uint64_t bytes);

// A count with its digits grouped by three: "1,234,567".
QString GroupedNumber(std::uint64_t number);

// Both forms of a total, so that nothing is hidden by the rounding:
// "1.2 MB (1,234,567 bytes)"; below a kilobyte only "512 bytes".
QString ByteTotalText(std::uint64_t bytes);
