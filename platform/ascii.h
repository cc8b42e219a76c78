#pragma once

// The letters A to Z as a to z; every other byte, also of names that aren't
// UTF-8, as it is. Names that the system matches without regard to case
// (wildcards, registry keys and values) are compared through this.
constexpr char FoldAsciiCase(char c) {
  return (c >= 'A' && c <= 'Z') ? static_cast<char>(c - 'A' + 'a') : c;
}
