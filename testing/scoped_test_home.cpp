#include "testing/scoped_test_home.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cstdlib>
#include <fstream>
#include <stdexcept>
#include <vector>

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

// Gives the owner full access to every directory below `dir`, so that a
// test that made something unreadable or read-only can still be cleaned up.
void MakeRemovable(const fs::path& dir) {
  ::chmod(dir.c_str(), 0700);
  std::error_code ec;
  for (auto it = fs::directory_iterator(dir, ec); !ec && it != fs::directory_iterator();
       it.increment(ec)) {
    if (it->is_directory(ec) && !it->is_symlink(ec)) MakeRemovable(it->path());
  }
}

}  // namespace

ScopedTestHome::ScopedTestHome() {
  const fs::path parent = ScratchParent();
  fs::create_directories(parent);
  std::string pattern = (parent / "home-XXXXXX").string();
  std::vector<char> buffer(pattern.begin(), pattern.end());
  buffer.push_back('\0');
  if (!::mkdtemp(buffer.data())) throw std::runtime_error("mkdtemp failed");
  root_ = fs::path(buffer.data());

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
  for (const auto& [name, value] : saved_) {
    if (value)
      ::setenv(name.c_str(), value->c_str(), 1);
    else
      ::unsetenv(name.c_str());
  }
  MakeRemovable(root_);
  std::error_code ec;
  fs::remove_all(root_, ec);
}

std::string ScopedTestHome::Path(const std::string& relative) const {
  return (root_ / relative).string();
}

void ScopedTestHome::SetEnv(const std::string& name, const std::optional<std::string>& value) {
  if (!saved_.contains(name)) saved_[name] = GetEnv(name);
  if (value)
    ::setenv(name.c_str(), value->c_str(), 1);
  else
    ::unsetenv(name.c_str());
}

void WriteTestFile(const fs::path& path, const std::string& content) {
  if (path.has_parent_path()) fs::create_directories(path.parent_path());
  std::ofstream out(path, std::ios::binary);
  out << content;
  if (!out) throw std::runtime_error("cannot write " + path.string());
}
