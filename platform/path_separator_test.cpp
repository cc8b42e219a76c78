#include "platform/path_separator.h"

#include <gtest/gtest.h>

#include <string>

namespace {

TEST(PathSeparatorTest, RootLengthCoversTheRootAndItsSeparatorOnly) {
  struct Case {
    const char* path;
    std::size_t root;
  };
#ifdef _WIN32
  const Case cases[] = {{"C:\\", 3},
                        {"c:/Temp", 3},
                        {"C:", 0},
                        {"C:Temp", 0},
                        {"\\Temp", 0},
                        {"Temp\\a", 0},
                        {"\\\\srv\\share", 11},
                        {"//srv/share/a", 12},
                        {"", 0}};
#else
  const Case cases[] = {{"/", 1}, {"/tmp/a", 1}, {"tmp", 0}, {"", 0}, {"C:\\", 0}};
#endif
  for (const Case& c : cases) EXPECT_EQ(RootLength(c.path), c.root) << c.path;
}

TEST(PathSeparatorTest, OnlyWindowsReadsABackslashAsASeparator) {
#ifdef _WIN32
  EXPECT_EQ(WithSystemSeparators("C:/Temp\\a/b.tmp"), "C:\\Temp\\a\\b.tmp");
  EXPECT_EQ(LastPathSeparator("C:\\Temp/a.tmp"), 7u);
#else
  EXPECT_EQ(WithSystemSeparators("/tmp/a\\b.tmp"), "/tmp/a\\b.tmp");
  EXPECT_EQ(LastPathSeparator("/tmp/a\\b.tmp"), 4u);
#endif
}

}  // namespace
