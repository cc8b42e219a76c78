#include "engine/discover_locations.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <map>

#include "platform/registry_file.h"
#include "testing/recording_controls.h"

namespace {

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr RegistryRoot kMachine = RegistryRoot::kLocalMachine;
constexpr const char* kShellFolders =
    "Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\Shell Folders";
constexpr const char* kNetscape = "Software\\Netscape\\Netscape Navigator\\Cache";
constexpr const char* kIEMain = "SOFTWARE\\Microsoft\\Internet Explorer\\Main";
constexpr const char* kIECachePaths =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Cache\\Paths";
constexpr const char* kIEUrlHistory =
    "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Internet Settings\\Url History";

// A registry that notes every key and value asked for.
class RecordingRegistry : public RegistryStrings {
 public:
  std::optional<RegistryValue> QueryValue(RegistryRoot root, std::string_view keyPath,
                                          std::string_view valueName) const override {
    asked.push_back(std::string(keyPath) + " : " + std::string(valueName));
    return file.QueryValue(root, keyPath, valueName);
  }
  void Set(RegistryRoot root, const char* key, const char* name, const std::string& text) {
    file.SetValue(root, key, name, RegistryValue::String(text));
  }

  RegistryFile file;
  mutable std::vector<std::string> asked;
};

class FakeEnvironment : public Environment {
 public:
  std::optional<std::string> Get(const std::string& name) const override {
    auto it = variables.find(name);
    if (it == variables.end()) return std::nullopt;
    return it->second;
  }
  std::map<std::string, std::string> variables;
};

class DiscoverLocationsTest : public ::testing::Test {
 protected:
  DiscoveredLocations Discover() { return DiscoverLocations(registry, environment); }

  void SetEverything() {
    registry.Set(kUser, kShellFolders, "Recent", "C:\\WINDOWS\\Recent\\");
    registry.Set(kUser, kNetscape, "Cache Dir", "/home/u/.netscape/cache");
    registry.Set(kMachine, kIEMain, "Cache_Directory", "C:\\WINDOWS\\Temporary Internet Files");
    registry.Set(kMachine, kIEMain, "History_Directory", "C:\\WINDOWS\\History");
    environment.variables = {{"TEMP", "/var/tmp"}, {"TMP", "/tmp"}};
  }

  RecordingRegistry registry;
  FakeEnvironment environment;
};

TEST_F(DiscoverLocationsTest, TakesEveryLocationExactlyAsGiven) {
  SetEverything();
  const DiscoveredLocations found = Discover();
  EXPECT_EQ(found.locations, (CleanLocations{"C:\\WINDOWS\\Recent\\", "/home/u/.netscape/cache",
                                             "C:\\WINDOWS\\Temporary Internet Files",
                                             "C:\\WINDOWS\\History", "/var/tmp", "/tmp"}));
  EXPECT_TRUE(found.switchedOff.empty());
}

TEST_F(DiscoverLocationsTest, NothingFoundSwitchesOffFiveBoxesInOrder) {
  const DiscoveredLocations found = Discover();
  EXPECT_EQ(found.locations, CleanLocations{});
  EXPECT_EQ(
      found.switchedOff,
      (std::vector<ControlId>{ControlId::kRecentBox, ControlId::kTempBox, ControlId::kNetscapeBox,
                              ControlId::kIECacheBox, ControlId::kIEHistoryBox}));
}

TEST_F(DiscoverLocationsTest, TempAndTmp) {
  struct Case {
    std::map<std::string, std::string> variables;
    std::string temp, tmp;
    bool switchedOff;
  };
  const std::vector<Case> cases = {
      {{{"TEMP", "/t"}, {"TMP", "/t"}}, "/t", "", false},
      {{{"TEMP", "/Tmp"}, {"TMP", "/tmp"}}, "/Tmp", "/tmp", false},
      {{{"TMP", "/only/tmp"}}, "", "/only/tmp", false},
      {{{"TEMP", "/only/temp"}}, "/only/temp", "", false},
      {{{"TEMP", ""}}, "", "", false},
      {{}, "", "", true},
  };
  for (const Case& c : cases) {
    environment.variables = c.variables;
    const DiscoveredLocations found = Discover();
    EXPECT_EQ(found.locations.m_strTemp, c.temp) << c.temp << "|" << c.tmp;
    EXPECT_EQ(found.locations.m_strTmp, c.tmp) << c.temp << "|" << c.tmp;
    const bool off =
        std::count(found.switchedOff.begin(), found.switchedOff.end(), ControlId::kTempBox) == 1;
    EXPECT_EQ(off, c.switchedOff) << c.temp << "|" << c.tmp;
  }
}

TEST_F(DiscoverLocationsTest, InternetExplorerFallbackIsAskedOnlyWhenNeeded) {
  SetEverything();
  registry.Set(kMachine, kIECachePaths, "Directory", "unused");
  Discover();
  ASSERT_EQ(std::count(registry.asked.begin(), registry.asked.end(),
                       std::string(kIEMain) + " : Cache_Directory"),
            1);
  for (const auto& asked : registry.asked) {
    EXPECT_EQ(asked.find("Cache\\Paths"), std::string::npos) << asked;
    EXPECT_EQ(asked.find("Url History"), std::string::npos) << asked;
  }
}

TEST_F(DiscoverLocationsTest, InternetExplorerFallbacksAreUsed) {
  registry.Set(kMachine, kIECachePaths, "Directory", "D:\\ie\\cache");
  registry.Set(kMachine, kIEUrlHistory, "Directory", "D:\\ie\\history");
  const DiscoveredLocations found = Discover();
  EXPECT_EQ(found.locations.m_strIECache, "D:\\ie\\cache");
  EXPECT_EQ(found.locations.m_strIEHistory, "D:\\ie\\history");
  for (ControlId box : {ControlId::kIECacheBox, ControlId::kIEHistoryBox})
    EXPECT_EQ(std::count(found.switchedOff.begin(), found.switchedOff.end(), box), 0);
}

TEST_F(DiscoverLocationsTest, ValuesThatAreNotPlainStringsCountAsMissing) {
  SetEverything();
  registry.file.SetValue(kUser, kShellFolders, "Recent",
                         {registry_type::kExpandString, std::string("%WINDIR%\\Recent\0", 17)});
  registry.Set(kUser, kNetscape, "Cache Dir", std::string(256, 'n'));
  registry.file.SetValue(kMachine, kIEMain, "Cache_Directory",
                         {registry_type::kNone, std::string("C:\\IE\0", 6)});
  registry.file.SetValue(kMachine, kIEMain, "History_Directory", RegistryValue::Dword(1));

  const DiscoveredLocations found = Discover();
  EXPECT_EQ(found.locations.m_strRecent, "");
  EXPECT_EQ(found.locations.m_strNetscapeCache, "");
  EXPECT_EQ(found.locations.m_strIECache, "C:\\IE");
  EXPECT_EQ(found.locations.m_strIEHistory, "");
  EXPECT_EQ(found.switchedOff,
            (std::vector<ControlId>{ControlId::kRecentBox, ControlId::kNetscapeBox,
                                    ControlId::kIEHistoryBox}));
}

TEST_F(DiscoverLocationsTest, AnEmptyValueIsFoundButEmpty) {
  SetEverything();
  registry.Set(kUser, kNetscape, "Cache Dir", "");
  const DiscoveredLocations found = Discover();
  EXPECT_EQ(found.locations.m_strNetscapeCache, "");
  EXPECT_TRUE(found.switchedOff.empty());
}

// Records the calls in the order made.
class CallLog : public CheckBoxes {
 public:
  int GetCheck(ControlId) const override { return 0; }
  void SetCheck(ControlId box, int state) override {
    calls.push_back("check " + std::to_string(static_cast<int>(box)) + "=" + std::to_string(state));
  }
  void Enable(ControlId box, bool enabled) override {
    calls.push_back("enable " + std::to_string(static_cast<int>(box)) + "=" +
                    std::to_string(enabled));
  }
  std::vector<std::string> calls;
};

TEST(SwitchOffMissing, UnchecksThenDisablesEachBox) {
  DiscoveredLocations found;
  found.switchedOff = {ControlId::kRecentBox, ControlId::kIEHistoryBox};
  CallLog boxes;
  SwitchOffMissing(found, boxes);
  EXPECT_EQ(boxes.calls, (std::vector<std::string>{"check 1000=0", "enable 1000=0", "check 1004=0",
                                                   "enable 1004=0"}));
}

}  // namespace
