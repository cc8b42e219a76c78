#include "platform/registry.h"

#include <gtest/gtest.h>

#include "platform/registry_file.h"

namespace {

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;

// Reads value "v" of key "K" from a registry holding just that value.
class ReadRegistryStringTest : public ::testing::Test {
 protected:
  bool Read(RegistryValue value) {
    RegistryFile registry;
    registry.SetValue(kUser, "K", "v", std::move(value));
    return registry.ReadRegistryString(kUser, "K", "v", text);
  }

  std::string text = "untouched";
};

TEST_F(ReadRegistryStringTest, AcceptsTextsOfUpTo255Characters) {
  const std::string longest(255, 'a');
  ASSERT_TRUE(Read(RegistryValue::String(longest)));
  EXPECT_EQ(text, longest);

  text = "untouched";
  EXPECT_FALSE(Read(RegistryValue::String(std::string(256, 'a'))));
  EXPECT_EQ(text, "untouched");
}

TEST_F(ReadRegistryStringTest, AcceptsOnlyStringAndNoneTypes) {
  ASSERT_TRUE(Read({registry_type::kNone, std::string("C:\\TEMP\\\0junk", 13)}));
  EXPECT_EQ(text, "C:\\TEMP\\");

  for (uint32_t type : {registry_type::kExpandString, registry_type::kBinary, registry_type::kDword,
                        7u, 0x12345u}) {
    text = "untouched";
    EXPECT_FALSE(Read({type, std::string("abc\0", 4)})) << type;
    EXPECT_EQ(text, "untouched");
  }
}

TEST_F(ReadRegistryStringTest, TextEndsAtTheFirstNul) {
  ASSERT_TRUE(Read({registry_type::kString, std::string("ab\0cd\0", 6)}));
  EXPECT_EQ(text, "ab");
  ASSERT_TRUE(Read({registry_type::kNone, "no terminator"}));
  EXPECT_EQ(text, "no terminator");
}

TEST_F(ReadRegistryStringTest, TheLimitCountsDataBytesAndTheTerminator) {
  // 256 bytes fit the buffer only when they end in the terminator.
  ASSERT_TRUE(Read({registry_type::kNone, std::string(255, 'b') + '\0'}));
  EXPECT_EQ(text, std::string(255, 'b'));

  text = "untouched";
  EXPECT_FALSE(Read({registry_type::kNone, std::string(256, 'b')}));
  // Too much data fails even when the text itself is short.
  EXPECT_FALSE(Read({registry_type::kString, std::string("x\0", 2) + std::string(255, 'y')}));
  EXPECT_EQ(text, "untouched");
}

TEST_F(ReadRegistryStringTest, AValueWithoutDataGivesTheEmptyText) {
  ASSERT_TRUE(Read({registry_type::kNone, ""}));
  EXPECT_EQ(text, "");
  text = "untouched";
  ASSERT_TRUE(Read({registry_type::kString, ""}));
  EXPECT_EQ(text, "");
}

TEST_F(ReadRegistryStringTest, MissingKeyOrValueFails) {
  RegistryFile registry;
  registry.SetValue(kUser, "K", "v", RegistryValue::String("x"));
  EXPECT_FALSE(registry.ReadRegistryString(kUser, "Other", "v", text));
  EXPECT_FALSE(registry.ReadRegistryString(kUser, "K", "w", text));
  EXPECT_FALSE(registry.ReadRegistryString(RegistryRoot::kLocalMachine, "K", "v", text));
  EXPECT_EQ(text, "untouched");
}

}  // namespace
