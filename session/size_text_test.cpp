#include "session/size_text.h"

#include <gtest/gtest.h>

#include <cstdint>
#include <string>

namespace {

struct SizeCase {
  std::uint64_t bytes;
  const char* readable;
  const char* total;
};

TEST(SizeText, SizesRoundToTenthsOfDecimalUnits) {
  const SizeCase cases[] = {
      {1, "1 byte", "1 byte"},
      {999, "999 bytes", "999 bytes"},
      {1000, "1.0 kB", "1.0 kB (1,000 bytes)"},
      {999949, "999.9 kB", "999.9 kB (999,949 bytes)"},
      {999950, "1.0 MB", "1.0 MB (999,950 bytes)"},  // rounded up a unit
      {5119000, "5.1 MB", "5.1 MB (5,119,000 bytes)"},
      {18446744073709551615ULL, "18.4 EB", "18.4 EB (18,446,744,073,709,551,615 bytes)"},
  };
  for (const SizeCase& size : cases) {
    EXPECT_EQ(ReadableSize(size.bytes), size.readable) << size.bytes;
    EXPECT_EQ(ReadableTotal(size.bytes), size.total) << size.bytes;
  }
}

TEST(SizeText, CountsGroupTheirDigitsByThree) {
  EXPECT_EQ(GroupedDigits(0), "0");
  EXPECT_EQ(GroupedDigits(999), "999");
  EXPECT_EQ(GroupedDigits(1000), "1,000");
  EXPECT_EQ(GroupedDigits(1234567), "1,234,567");
}

}  // namespace
