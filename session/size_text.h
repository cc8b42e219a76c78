#pragma once

#include <cstdint>
#include <string>

// Sizes and counts as people read them, the same in the window and on the
// command line.

// Decimal units, as file managers show sizes, one digit after the point
// from a kilobyte on: "1 byte", "512 bytes", "4.9 kB", "1.2 GB".
std::string ReadableSize(std::uint64_t bytes);

// A count with its digits grouped by three: "1,234,567".
std::string GroupedDigits(std::uint64_t number);

// Both forms of a total, so that nothing is hidden by the rounding:
// "1.2 MB (1,234,567 bytes)"; below a kilobyte only "512 bytes".
std::string ReadableTotal(std::uint64_t bytes);
