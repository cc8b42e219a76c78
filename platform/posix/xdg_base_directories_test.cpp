#include "platform/posix/xdg_base_directories.h"

#include <gtest/gtest.h>

#include <iterator>

#include "platform/posix/registry_file_io.h"
#include "platform/posix/registry_location.h"
#include "platform/registry_file.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

TEST(XdgBaseDirectories, RelativePathsAreIgnored) {
  struct Case {
    std::optional<std::string> home, config, cache;
    std::optional<fs::path> expectedConfig, expectedCache;
  };
  const Case cases[] = {
      {"/h", "/c", "/k", "/c", "/k"},
      {"/h", "rel", "rel/cache", "/h/.config", "/h/.cache"},
      {"/h", "", std::nullopt, "/h/.config", "/h/.cache"},
      {"home", "rel", "/k", std::nullopt, "/k"},
      {std::nullopt, "./c", "~/k", std::nullopt, std::nullopt},
      {"", "/c", std::nullopt, "/c", std::nullopt},
  };
  ScopedTestHome scratch;
  for (const Case& c : cases) {
    scratch.SetEnv("HOME", c.home);
    scratch.SetEnv("XDG_CONFIG_HOME", c.config);
    scratch.SetEnv("XDG_CACHE_HOME", c.cache);
    EXPECT_EQ(XdgConfigHome(), c.expectedConfig) << c.home.value_or("(unset)");
    EXPECT_EQ(XdgCacheHome(), c.expectedCache) << c.home.value_or("(unset)");
  }
  scratch.SetEnv("HOME", "/h");
  scratch.SetEnv("XDG_DATA_HOME", "data");
  EXPECT_EQ(XdgDataHome(), fs::path("/h/.local/share"));
}

TEST(XdgBaseDirectories, WithoutAHomeTheSettingsAreNeitherReadNorWritten) {
  ScopedTestHome scratch;
  // Where a relative path would lead if it were trusted.
  const fs::path cwd = fs::current_path();
  fs::current_path(scratch.Root());
  WriteTestFile(scratch.Root() / "home/.config/Orlemont Software/registry.reg",
                "REGEDIT4\n\n[HKEY_CURRENT_USER\\K]\n\"V\"=\"stored\"\n");
  scratch.SetEnv("XDG_CONFIG_HOME", "home/.config");
  scratch.SetEnv("HOME", "home");

  const fs::path file = UserRegistryFilePath();
  EXPECT_EQ(file, fs::path());
  EXPECT_FALSE(LoadRegistryFile(file).QueryValue(RegistryRoot::kCurrentUser, "K", "V"));
  RegistryFile registry;
  registry.SetValue(RegistryRoot::kCurrentUser, "K", "V", RegistryValue::String("new"));
  const auto entriesBefore = std::distance(fs::directory_iterator("."), {});
  EXPECT_FALSE(SaveRegistryFile(registry, file));
  EXPECT_EQ(std::distance(fs::directory_iterator("."), {}), entriesBefore);
  fs::current_path(cwd);

  scratch.SetEnv("HOME", scratch.Path("home"));
  EXPECT_EQ(UserRegistryFilePath(), scratch.Root() / "home/.config/Orlemont Software/registry.reg");
}

}  // namespace
