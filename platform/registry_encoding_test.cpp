#include "platform/registry_encoding.h"

#include <gtest/gtest.h>

namespace {

using registry_encoding::FromUtf16Le;
using registry_encoding::ToUtf16Le;

TEST(RegistryEncoding, EveryByteStringSurvivesUtf16) {
  const std::string texts[] = {
      "plain",
      "caf\xc3\xa9 \xf0\x9f\x98\x80",  // two- and four-byte sequences
      "\xff",                          // no UTF-8 sequence starts so
      "\xc3",                          // cut short
      "\xc0\xaf",                      // overlong '/'
      "\xed\xa0\x80",                  // a surrogate spelled in UTF-8
      "\xed\xb2\x80",                  // the surrogate DC80, which stands for a byte
      "\xf4\x90\x80\x80",              // beyond U+10FFFF
      std::string("a\0b", 3),
  };
  for (const std::string& text : texts) EXPECT_EQ(FromUtf16Le(ToUtf16Le(text)), text) << text;
}

TEST(RegistryEncoding, LoneSurrogatesFromOtherProgramsReadAsReplacement) {
  EXPECT_EQ(FromUtf16Le(std::string("\x3d\xd8\x41\x00", 4)),
            "\xef\xbf\xbd"
            "A");
  EXPECT_EQ(ToUtf16Le("\xc3\xa9"), std::string("\xe9\x00", 2));
}

}  // namespace
