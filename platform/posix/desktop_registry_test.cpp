#include "platform/posix/desktop_registry.h"

#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <filesystem>
#include <vector>

#include "platform/registry_file.h"
#include "testing/scoped_test_home.h"

namespace fs = std::filesystem;

namespace {

constexpr const char* kNetscapeKey = "Software\\Netscape\\Netscape Navigator\\Cache";
constexpr const char* kIEMainKey = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";

class DesktopRegistryTest : public testing::Test {
 protected:
  // What the registry answers for a value, through the reading that
  // discovers the cleanable locations; "(not found)" when the read fails.
  std::string Read(RegistryRoot root, const char* key, const char* value,
                   const std::string& fileText = "") const {
    const RegistryFile file = RegistryFile::Parse("REGEDIT4\n\n" + fileText);
    std::string text = "(not found)";
    DesktopRegistry(file).ReadRegistryString(root, key, value, text);
    return text;
  }
  std::string NetscapeCache(const std::string& fileText = "") const {
    return Read(RegistryRoot::kCurrentUser, kNetscapeKey, "Cache Dir", fileText);
  }
  std::string IECache(const std::string& fileText = "") const {
    return Read(RegistryRoot::kLocalMachine, kIEMainKey, "Cache_Directory", fileText);
  }

  std::string MakeFolder(const std::string& relative) const {
    fs::create_directories(home.Path(relative));
    return home.Path(relative);
  }

  ScopedTestHome home;
};

TEST_F(DesktopRegistryTest, FirefoxCacheOfTheDefaultProfile) {
  struct Case {
    const char* installsIni;
    const char* profilesIni;
    const char* profile;
  };
  const Case cases[] = {
      {"[4F96D1932A9F858E]\nDefault=abc.default-release\nLocked=1\n",
       "[Install4F96D1932A9F858E]\nDefault=other\n", "abc.default-release"},
      {"",
       "[Profile0]\nName=x\nIsRelative=1\nPath=other\n\n[InstallXYZ]\r\nDefault=Profiles/p2\r\n",
       "Profiles/p2"},
      {"garbage\n",
       "[Profile1]\nPath=other\nIsRelative=1\n[Profile0]\nIsRelative=1\nPath=p0\nDefault=1\n",
       "p0"},
  };
  for (const Case& c : cases) {
    WriteTestFile(home.Path("home/.mozilla/firefox/installs.ini"), c.installsIni);
    WriteTestFile(home.Path("home/.mozilla/firefox/profiles.ini"), c.profilesIni);
    MakeFolder("cache/mozilla/firefox/other/cache2/entries");
    const std::string entries =
        MakeFolder(std::string("cache/mozilla/firefox/") + c.profile + "/cache2/entries");
    EXPECT_EQ(NetscapeCache(), entries) << c.profile;
  }
}

TEST_F(DesktopRegistryTest, FirefoxOfASnapOrAFlatpak) {
  const std::string ini = "[Profile0]\nIsRelative=1\nPath=p\nDefault=1\n";
  WriteTestFile(home.Path("home/.var/app/org.mozilla.firefox/.mozilla/firefox/profiles.ini"), ini);
  const std::string flatpak =
      MakeFolder("home/.var/app/org.mozilla.firefox/cache/mozilla/firefox/p/cache2/entries");
  EXPECT_EQ(NetscapeCache(), flatpak);

  WriteTestFile(home.Path("home/snap/firefox/common/.mozilla/firefox/profiles.ini"), ini);
  const std::string snap =
      MakeFolder("home/snap/firefox/common/.cache/mozilla/firefox/p/cache2/entries");
  EXPECT_EQ(NetscapeCache(), snap);

  WriteTestFile(home.Path("home/.mozilla/firefox/profiles.ini"), ini);
  const std::string native = MakeFolder("cache/mozilla/firefox/p/cache2/entries");
  EXPECT_EQ(NetscapeCache(), native);
}

// Each case sets up what must never be answered as a cache folder: a
// profiles.ini (none when empty), folders, a file and a link in the scratch.
TEST_F(DesktopRegistryTest, FirefoxTrapsAreNotFound) {
  const std::string profiles = home.Path("home/.mozilla/firefox/profiles.ini");
  const std::string relative = "[Profile0]\nIsRelative=1\nPath=p\nDefault=1\n";
  const std::string cache = "cache/mozilla/firefox/p";
  const std::string entries = cache + "/cache2/entries";
  struct Trap {
    const char* name;
    std::string ini;
    std::vector<std::string> folders;
    std::string file = "";
    std::pair<std::string, std::string> link = {};  // target, link
  };
  const Trap traps[] = {
      {"no profiles.ini", "", {entries}},
      {"profiles.ini without a default",
       "[Profile0\nPath=p\nDefault=1\n\x01\xff[General]\n",
       {entries}},
      {"a profile folder but no cache",
       relative,
       {cache, "home/.mozilla/firefox/p/cache2/entries"}},
      {"escaping the cache root",
       "[InstallX]\nDefault=p/../../../escape\n",
       {cache, "cache/escape/cache2/entries"}},
      {"an absolute profile",
       "[Profile0]\nIsRelative=0\nPath=" + home.Path(cache) + "\nDefault=1\n",
       {entries}},
      {"a profile not marked relative", "[Profile0]\nPath=p\nDefault=1\n", {entries}},
      {"entries is a link", relative, {cache + "/cache2", "elsewhere"}, "", {"elsewhere", entries}},
      {"the profile's cache is a link",
       relative,
       {"cache/mozilla/firefox", "home/.mozilla/firefox/p/cache2/entries"},
       "",
       {"home/.mozilla/firefox/p", cache}},
      {"entries is a file", relative, {}, entries},
  };
  auto clear = [&] {
    fs::remove_all(home.Path("home/.mozilla"));
    fs::remove_all(home.Path("cache/mozilla"));
  };
  for (const Trap& trap : traps) {
    clear();
    if (!trap.ini.empty()) WriteTestFile(profiles, trap.ini);
    for (const std::string& folder : trap.folders) MakeFolder(folder);
    if (!trap.file.empty()) WriteTestFile(home.Path(trap.file));
    if (!trap.link.first.empty())
      fs::create_directory_symlink(home.Path(trap.link.first), home.Path(trap.link.second));
    EXPECT_EQ(NetscapeCache(), "(not found)") << trap.name;
  }

  clear();
  fs::create_directories(fs::path(profiles).parent_path());
  ASSERT_EQ(::mkfifo(profiles.c_str(), 0600), 0);
  MakeFolder(entries);
  EXPECT_EQ(NetscapeCache(), "(not found)") << "profiles.ini is a FIFO, and the read goes on";

  clear();
  WriteTestFile(profiles, relative);
  MakeFolder(entries);
  EXPECT_EQ(NetscapeCache(), home.Path(entries));
  if (::getuid() != 0) GTEST_SKIP() << "a folder of another user needs root to make";
  ASSERT_EQ(::chown(home.Path(entries).c_str(), 65534, 65534), 0);
  EXPECT_EQ(NetscapeCache(), "(not found)") << "owned by another user";
}

TEST_F(DesktopRegistryTest, EdgeElseChromeElseChromium) {
  EXPECT_EQ(IECache(), "(not found)");
  const std::string chromium = MakeFolder("cache/chromium/Default/Cache/Cache_Data");
  EXPECT_EQ(IECache(), chromium);
  const std::string chrome = MakeFolder("cache/google-chrome/Default/Cache/Cache_Data");
  EXPECT_EQ(IECache(), chrome);
  MakeFolder("cache/microsoft-edge/Default/Cache");
  fs::create_directory_symlink(MakeFolder("elsewhere"),
                               home.Path("cache/microsoft-edge/Default/Cache/Cache_Data"));
  EXPECT_EQ(IECache(), chrome);
  fs::remove(home.Path("cache/microsoft-edge/Default/Cache/Cache_Data"));
  const std::string edge = MakeFolder("cache/microsoft-edge/Default/Cache/Cache_Data");
  EXPECT_EQ(IECache(), edge);
}

TEST_F(DesktopRegistryTest, TheFileWinsAndOnlyTheTwoCachesAreAnswered) {
  WriteTestFile(home.Path("home/.mozilla/firefox/installs.ini"), "[X]\nDefault=p\n");
  MakeFolder("cache/mozilla/firefox/p/cache2/entries");
  MakeFolder("cache/microsoft-edge/Default/Cache/Cache_Data");

  EXPECT_EQ(NetscapeCache("[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\Cache]\n"
                          "\"Cache Dir\"=\"/mine\"\n"),
            "/mine");
  EXPECT_EQ(NetscapeCache("[HKEY_CURRENT_USER\\Software\\Netscape\\Netscape Navigator\\Cache]\n"
                          "\"Cache Dir\"=hex(2):41,00\n"),
            "(not found)");
  EXPECT_EQ(IECache("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\Main]\n"
                    "\"Cache_Directory\"=\"/ie\"\n"),
            "/ie");
  // The file's second place for the cache is not to be overruled either.
  EXPECT_EQ(IECache("[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\"
                    "Internet Settings\\Cache\\Paths]\n\"Directory\"=\"/paths\"\n"),
            "(not found)");
  EXPECT_EQ(Read(RegistryRoot::kLocalMachine, kIEMainKey, "History_Directory"), "(not found)");
  EXPECT_EQ(Read(RegistryRoot::kCurrentUser,
                 "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders", "Recent"),
            "(not found)");
  EXPECT_EQ(Read(RegistryRoot::kLocalMachine, kNetscapeKey, "Cache Dir"), "(not found)");
}

TEST_F(DesktopRegistryTest, ADerivedFolderLongerThan255IsNotFound) {
  const std::string cacheHome = home.Path(std::string(250, 'c'));
  home.SetEnv("XDG_CACHE_HOME", cacheHome);
  MakeFolder(std::string(250, 'c') + "/chromium/Default/Cache/Cache_Data");
  EXPECT_EQ(IECache(), "(not found)");
}

}  // namespace
