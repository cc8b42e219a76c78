#include "platform/posix/browser_cache_folders.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <filesystem>
#include <vector>

#include "platform/posix/firefox_profiles.h"
#include "platform/posix/xdg_base_directories.h"

namespace fs = std::filesystem;

namespace {

using Folders = std::vector<std::string>;

// Firefox's ini files are small; a FIFO or a device in their place must not
// stall the start, and a huge file is no ini file of Firefox.
std::string ReadSmallFile(const fs::path& path) {
  constexpr off_t kLargestIniFile = 1 << 20;
  const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NONBLOCK | O_NOCTTY);
  if (fd < 0) return {};
  std::string content;
  struct stat status;
  if (::fstat(fd, &status) == 0 && S_ISREG(status.st_mode) && status.st_size <= kLargestIniFile) {
    char buffer[8192];
    for (;;) {
      const ssize_t got = ::read(fd, buffer, sizeof buffer);
      if (got < 0 && errno == EINTR) continue;
      if (got <= 0 || content.size() + got > kLargestIniFile) break;
      content.append(buffer, static_cast<std::size_t>(got));
    }
  }
  ::close(fd);
  return content;
}

// `base` joined with `folders`, when every one of the folders is a real
// directory of the user's own. The base is the user's own choice of place
// and may be reached through a link.
std::optional<std::string> OwnFolderBelow(const fs::path& base, const Folders& folders) {
  struct stat status;
  if (::stat(base.c_str(), &status) != 0 || !S_ISDIR(status.st_mode)) return std::nullopt;
  fs::path path = base;
  for (const std::string& folder : folders) {
    path /= folder;
    if (::lstat(path.c_str(), &status) != 0 || !S_ISDIR(status.st_mode) ||
        status.st_uid != ::getuid())
      return std::nullopt;
  }
  return path.string();
}

// One place where Firefox keeps its profiles, and its cache root below
// `cacheBase`.
struct FirefoxHome {
  fs::path profiles;
  fs::path cacheBase;
  Folders cacheRoot;
};

std::optional<std::string> FirefoxCacheIn(const FirefoxHome& home) {
  const auto profile = DefaultFirefoxProfile(ReadSmallFile(home.profiles / "installs.ini"),
                                             ReadSmallFile(home.profiles / "profiles.ini"));
  if (!profile || !profile->isRelative) return std::nullopt;
  const auto profileFolders = RelativeProfileFolders(profile->path);
  if (!profileFolders) return std::nullopt;
  Folders cache = home.cacheRoot;
  cache.insert(cache.end(), profileFolders->begin(), profileFolders->end());
  cache.insert(cache.end(), {"cache2", "entries"});
  return OwnFolderBelow(home.cacheBase, cache);
}

}  // namespace

std::optional<std::string> FirefoxCacheFolder() {
  const auto home = UserHomeDirectory();
  const auto cacheHome = XdgCacheHome();
  if (!home || !cacheHome) return std::nullopt;
  const FirefoxHome homes[] = {
      {*home / ".mozilla/firefox", *cacheHome, {"mozilla", "firefox"}},
      {*home / "snap/firefox/common/.mozilla/firefox",
       *home,
       {"snap", "firefox", "common", ".cache", "mozilla", "firefox"}},
      {*home / ".var/app/org.mozilla.firefox/.mozilla/firefox",
       *home,
       {".var", "app", "org.mozilla.firefox", "cache", "mozilla", "firefox"}},
  };
  for (const FirefoxHome& firefox : homes)
    if (auto cache = FirefoxCacheIn(firefox)) return cache;
  return std::nullopt;
}

std::optional<std::string> ChromiumCacheFolder() {
  const auto cacheHome = XdgCacheHome();
  if (!cacheHome) return std::nullopt;
  for (const char* browser : {"microsoft-edge", "google-chrome", "chromium"})
    if (auto cache = OwnFolderBelow(*cacheHome, {browser, "Default", "Cache", "Cache_Data"}))
      return cache;
  return std::nullopt;
}
