#pragma once

#include <string_view>

// Whether a file name matches a wildcard the way the Windows directory
// search matches it: '*' stands for any run of characters, also an empty
// one, '?' for exactly one, and letters match without regard to ASCII case.
// A wildcard ending in ".*" also matches a name without a dot, so "*.*"
// matches every name. Other bytes, including those of names that aren't
// UTF-8, must be equal.
bool MatchesWildcard(std::string_view wildcard, std::string_view name);
