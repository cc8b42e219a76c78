#include "platform/wildcard_match.h"

#include <gtest/gtest.h>

#include <ostream>
#include <string>
#include <string_view>

namespace {

struct MatchCase {
  const char* wildcard;
  std::string name;
  bool matches;
};

// Test names show every byte outside printable ASCII as \xHH.
std::string Printable(std::string_view text) {
  std::string shown;
  for (const unsigned char c : text) {
    if (c >= 0x20 && c < 0x7f) {
      shown += static_cast<char>(c);
    } else {
      constexpr char kHex[] = "0123456789abcdef";
      shown += {'\\', 'x', kHex[c >> 4], kHex[c & 0xf]};
    }
  }
  return shown;
}

void PrintTo(const MatchCase& c, std::ostream* out) {
  *out << '"' << Printable(c.wildcard) << "\" against \"" << Printable(c.name) << '"';
}

class WildcardMatchTest : public testing::TestWithParam<MatchCase> {};

TEST_P(WildcardMatchTest, MatchesLikeTheWindowsSearch) {
  const MatchCase& c = GetParam();
  EXPECT_EQ(MatchesWildcard(c.wildcard, c.name), c.matches)
      << "wildcard \"" << c.wildcard << "\", name \"" << c.name << "\"";
}

INSTANTIATE_TEST_SUITE_P(
    Table, WildcardMatchTest,
    testing::Values(
        // "*.*" takes every name, with or without a dot.
        MatchCase{"*.*", "report.doc", true}, MatchCase{"*.*", "README", true},
        MatchCase{"*.*", ".hidden", true}, MatchCase{"*.*", "a.b.c", true},
        MatchCase{"*.*", "trailing.", true},
        // A trailing ".*" also takes a name without a dot, not one with another stem.
        MatchCase{"foo.*", "foo", true}, MatchCase{"foo.*", "foo.txt", true},
        MatchCase{"foo.*", "foobar", false}, MatchCase{"foo.*", "bar.foo", false},
        // '*' may be empty; the extension is anchored at the end.
        MatchCase{"*.tmp", "a.tmp", true}, MatchCase{"*.tmp", ".tmp", true},
        MatchCase{"*.tmp", "a.tmp.old", false}, MatchCase{"*.tmp", "a.tmpx", false},
        MatchCase{"*.tmp", "tmp", false}, MatchCase{"*.tmp", "x.tmp.tmp", true},
        MatchCase{"*", "anything at all", true}, MatchCase{"a*b*c", "aXbYbZc", true},
        MatchCase{"a*b*c", "aXbYcZ", false}, MatchCase{"**x", "yx", true},
        // ASCII letters match without regard to case.
        MatchCase{"*.TMP", "upper.tmp", true}, MatchCase{"*.tmp", "LOWER.TMP", true},
        MatchCase{"Cache*", "cACHE01", true},
        // '?' is exactly one character, never none.
        MatchCase{"?.log", "a.log", true}, MatchCase{"?.log", ".log", false},
        MatchCase{"?.log", "ab.log", false}, MatchCase{"file??", "file12", true},
        MatchCase{"file??", "file1", false},
        // Bytes that are not UTF-8 and non-ASCII letters compare as they are.
        MatchCase{"*.tmp", std::string("caf\xe9.tmp"), true},
        MatchCase{"\xc3\xa9*", std::string("\xc3\xa9t\xc3\xa9"), true},
        MatchCase{"\xc3\xa9*", std::string("\xc3\x89t\xc3\xa9"), false},
        MatchCase{"?", std::string("\xff"), true},
        // Characters that mean something elsewhere are plain here.
        MatchCase{"[ab].txt", "[ab].txt", true}, MatchCase{"[ab].txt", "a.txt", false},
        MatchCase{"*.tmp", "new\nline.tmp", true}, MatchCase{"-*", "-rf", true},
        MatchCase{"*\\*", "back\\slash", true},
        // An empty wildcard takes only an empty name.
        MatchCase{"", "", true}, MatchCase{"", "a", false}));

}  // namespace
