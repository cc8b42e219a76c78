#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// Firefox's own files that name its default profile, read as text.

struct FirefoxProfile {
  std::string path;
  // Relative to the folder of profiles.ini; its cache is then kept at the
  // same relative path below the cache root. Firefox keeps the cache of an
  // absolute profile inside the profile itself.
  bool isRelative = false;

  bool operator==(const FirefoxProfile&) const = default;
};

// The default profile: the Default= of the first install section of
// installs.ini, else of the first [Install...] section of profiles.ini (an
// install's default is relative unless it begins with '/'), else the
// profile marked Default=1, relative only when marked IsRelative=1. Nothing
// when neither text names a default.
std::optional<FirefoxProfile> DefaultFirefoxProfile(std::string_view installsIni,
                                                    std::string_view profilesIni);

// The folders of a relative profile path ("abc.default-release",
// "Profiles/abc"), for finding its cache below the cache root. Nothing for
// an absolute path, an empty one, or one with a ".." that could lead out of
// the root; "." and empty parts are dropped.
std::optional<std::vector<std::string>> RelativeProfileFolders(std::string_view path);
