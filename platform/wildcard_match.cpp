#include "platform/wildcard_match.h"

#include "platform/ascii.h"

namespace {

// Classic wildcard matching with backtracking to the last '*' only, which is
// enough because a later '*' can absorb whatever an earlier one would have.
bool MatchesPlain(std::string_view wildcard, std::string_view name) {
  std::size_t w = 0;
  std::size_t n = 0;
  std::size_t starAt = std::string_view::npos;  // position of the last '*' seen
  std::size_t resumeAt = 0;                     // name position that '*' covers up to
  while (n < name.size()) {
    if (w < wildcard.size() && wildcard[w] == '*') {
      starAt = w++;
      resumeAt = n;
    } else if (w < wildcard.size() &&
               (wildcard[w] == '?' || FoldAsciiCase(wildcard[w]) == FoldAsciiCase(name[n]))) {
      ++w;
      ++n;
    } else if (starAt != std::string_view::npos) {
      w = starAt + 1;
      n = ++resumeAt;
    } else {
      return false;
    }
  }
  while (w < wildcard.size() && wildcard[w] == '*') ++w;
  return w == wildcard.size();
}

}  // namespace

bool MatchesWildcard(std::string_view wildcard, std::string_view name) {
  if (MatchesPlain(wildcard, name)) return true;
  // Windows treats a name without a dot as if it ended in one, so that an
  // empty extension satisfies ".*".
  constexpr std::string_view kAnyExtension = ".*";
  if (wildcard.ends_with(kAnyExtension) && name.find('.') == std::string_view::npos) {
    wildcard.remove_suffix(kAnyExtension.size());
    return MatchesPlain(wildcard, name);
  }
  return false;
}
