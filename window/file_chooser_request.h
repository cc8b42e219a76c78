#pragma once

#include <string>
#include <utility>
#include <vector>

// A file chooser's request: its title and its filters, each a display text
// and a pattern; the first filter is the initial one. The chooser opens in
// the folder of `typedPath` (what the user typed already) when there is one.
struct FileChooserRequest {
  std::string title;
  std::vector<std::pair<std::string, std::string>> filters;
  std::string typedPath = {};
};
