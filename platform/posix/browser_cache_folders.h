#pragma once

#include <optional>
#include <string>

// The disk caches of the user's browsers on this desktop, found from HOME
// and XDG_CACHE_HOME at the time of asking. Only the cache folder itself is
// ever given, never a profile or anything above the cache, and only when it
// and every folder between it and the cache home (the home, for a snap's or
// a flatpak's cache) is a real directory, not a link, owned by the user.

// The folder of disk-cache entries of Firefox's default profile:
// $XDG_CACHE_HOME/mozilla/firefox/<profile>/cache2/entries for the profiles
// in ~/.mozilla/firefox, else the same below the snap's or the flatpak's
// home of Firefox.
std::optional<std::string> FirefoxCacheFolder();

// The disk cache of Microsoft Edge's default profile,
// $XDG_CACHE_HOME/microsoft-edge/Default/Cache/Cache_Data, else Chrome's
// (google-chrome) or Chromium's (chromium) at the same place.
std::optional<std::string> ChromiumCacheFolder();
