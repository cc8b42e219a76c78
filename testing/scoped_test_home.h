#pragma once

#include <filesystem>
#include <map>
#include <optional>
#include <string>

// A private temporary directory for one test, with HOME, XDG_CONFIG_HOME,
// XDG_DATA_HOME, XDG_CACHE_HOME, TEMP, TMP and TMPDIR pointed inside it for the test's
// lifetime, so that nothing a test does reaches the real home, /tmp itself
// or the real trash. The directory is made below $DUSTRAL_TEST_ROOT (the
// build tree's scratch directory when run by CTest) and removed afterwards,
// read-only and unreadable contents included. The previous environment is
// restored.
class ScopedTestHome {
 public:
  ScopedTestHome();
  ~ScopedTestHome();
  ScopedTestHome(const ScopedTestHome&) = delete;
  ScopedTestHome& operator=(const ScopedTestHome&) = delete;

  const std::filesystem::path& Root() const { return root_; }
  // Root() / relative, as a narrow string.
  std::string Path(const std::string& relative) const;

  // Sets or unsets an environment variable until the end of the test.
  void SetEnv(const std::string& name, const std::optional<std::string>& value);

 private:
  std::filesystem::path root_;
  std::map<std::string, std::optional<std::string>> saved_;
};

// Creates a file (and its parent directories) holding `content`.
void WriteTestFile(const std::filesystem::path& path, const std::string& content = "x");
