#include "testing/scoped_test_home.h"

#ifndef _WIN32
#include <sys/stat.h>
#include <unistd.h>
#endif

#include <cstdlib>
#include <fstream>
#include <random>
#include <stdexcept>

namespace fs = std::filesystem;

namespace {

fs::path ScratchParent() {
  if (const char* root = std::getenv("DUSTRAL_TEST_ROOT"); root && *root) return root;
  // Outside CTest: a directory of our own under the system's temporary
  // directory, never files directly in it.
  return fs::temp_directory_path() / "dustral-tests";
}

std::optional<std::string> GetEnv(const std::string& name) {
  const char* value = std::getenv(name.c_str());
  if (!value) return std::nullopt;
  return std::string(value);
}

void SetVariable(const std::string& name, const std::optional<std::string>& value) {
#ifdef _WIN32
  // An empty value removes the variable.
  ::_putenv_s(name.c_str(), value ? value->c_str() : "");
#else
  if (value)
    ::setenv(name.c_str(), value->c_str(), 1);
  else
    ::unsetenv(name.c_str());
#endif
}

// Gives the owner full access to every directory below `dir` (on Windows:
// makes every file writable), so that a test that made something
// unreadable or read-only can still be cleaned up.
void MakeRemovable(const fs::path& dir) {
#ifndef _WIN32
  ::chmod(dir.c_str(), 0700);
#endif
  std::error_code ec;
  for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
#ifdef _WIN32
    fs::permissions(it->path(), fs::perms::owner_write, fs::perm_options::add, ec);
#endif
    if (it->is_directory(ec) && !it->is_symlink(ec)) MakeRemovable(it->path());
  }
}

// A new directory of its own below `parent`, as mkdtemp makes one.
fs::path MakeUniqueDirectory(const fs::path& parent) {
  std::random_device entropy;
  std::mt19937_64 random(entropy());
  for (int attempt = 0; attempt < 100; ++attempt) {
    const fs::path candidate = parent / ("home-" + std::to_string(random() % 1'000'000'000));
    if (fs::create_directory(candidate)) return candidate;
  }
  throw std::runtime_error("cannot make a test directory below " + parent.string());
}

}  // namespace

ScopedTestHome::ScopedTestHome() {
  const fs::path parent = ScratchParent();
  fs::create_directories(parent);
  root_ = MakeUniqueDirectory(parent);
#ifndef _WIN32
  ::chmod(root_.c_str(), 0700);
#endif

  fs::create_directories(root_ / "home");
  fs::create_directories(root_ / "config");
  fs::create_directories(root_ / "data");
  fs::create_directories(root_ / "cache");
  fs::create_directories(root_ / "tmp");
  SetEnv("HOME", (root_ / "home").string());
  SetEnv("XDG_CONFIG_HOME", (root_ / "config").string());
  SetEnv("XDG_DATA_HOME", (root_ / "data").string());
  SetEnv("XDG_CACHE_HOME", (root_ / "cache").string());
  SetEnv("TEMP", (root_ / "tmp").string());
  SetEnv("TMP", (root_ / "tmp").string());
  SetEnv("TMPDIR", (root_ / "tmp").string());
}

ScopedTestHome::~ScopedTestHome() {
  for (const auto& [name, value] : saved_) SetVariable(name, value);
  MakeRemovable(root_);
  std::error_code ec;
  fs::remove_all(root_, ec);
}

std::string ScopedTestHome::Path(const std::string& relative) const {
  return (root_ / relative).string();
}

void ScopedTestHome::SetEnv(const std::string& name, const std::optional<std::string>& value) {
  if (!saved_.contains(name)) saved_[name] = GetEnv(name);
  SetVariable(name, value);
}

void WriteTestFile(const fs::path& path, const std::string& content) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}
