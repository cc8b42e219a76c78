#include "settings/settings_store.h"

#include <gtest/gtest.h>

#include <cstdio>
#include <map>
#include <string>

#include "platform/posix/registry_file_io.h"
#include "platform/posix/registry_location.h"
#include "settings/registry_profile.h"
#include "settings/testing/clean_inputs.h"
#include "settings/testing/file_profile.h"
#include "testing/recording_controls.h"
#include "testing/scoped_test_home.h"

namespace {

constexpr RegistryRoot kUser = RegistryRoot::kCurrentUser;
constexpr const char* kOptionsKey = "Software\\Orlemont Software\\dustral\\Default Settings";
constexpr const char* kEntriesKey = "Software\\Orlemont Software\\dustral\\Entries";

// The six boxes' states, as the window shows them.
std::map<ControlId, int> Checks(const MemoryCheckBoxes& boxes) {
  std::map<ControlId, int> checks;
  for (const ControlId box :
       {ControlId::kRecentBox, ControlId::kTempBox, ControlId::kNetscapeBox, ControlId::kIECacheBox,
        ControlId::kIEHistoryBox, ControlId::kRecycleBinBox})
    checks[box] = boxes.GetCheck(box);
  return checks;
}

// A main window in memory, as the settings see it.
struct TestWindow {
  MemoryCheckBoxes boxes;
  FullableListControl list;
  ScriptedMessageBox messages;
  EntryList entries{list, messages};
  SettingsWindow window{boxes, entries, messages, "dustral"};

  std::vector<CleanEntry> Entries() const {
    std::vector<CleanEntry> all;
    for (int i = 0; i < entries.Count(); ++i) {
      CleanEntry entry;
      EXPECT_TRUE(entries.GetEntry(i, entry));
      all.push_back(entry);
    }
    return all;
  }
};

// One run of the program against the registry file: load at start, save at
// exit.
class SettingsOnDisk : public ::testing::Test {
 protected:
  void Load(TestWindow& window) {
    FileProfile profile(UserRegistryFilePath());
    LoadSettings(profile, settings, window.window);
  }
  void Save(TestWindow& window) {
    FileProfile profile(UserRegistryFilePath());
    SaveSettings(profile, settings, window.window);
  }
  std::optional<RegistryValue> Stored(const char* key, const std::string& name) const {
    return LoadRegistryFile(UserRegistryFilePath()).QueryValue(kUser, key, name);
  }
  void Store(const char* key, const std::string& name, RegistryValue value) {
    RegistryFile file = LoadRegistryFile(UserRegistryFilePath());
    file.SetValue(kUser, key, name, std::move(value));
    ASSERT_TRUE(SaveRegistryFile(file, UserRegistryFilePath()));
  }

  ScopedTestHome home;
  CleanSettings settings;
};

TEST_F(SettingsOnDisk, FirstStartGivesTheDefaults) {
  settings.m_bSaveSettings = 0;
  settings.m_bAutoRun = 7;
  settings.m_strExeToRun = "x";
  TestWindow window;
  Load(window);

  EXPECT_EQ(settings, CleanSettings{});
  EXPECT_EQ(Checks(window.boxes), (std::map<ControlId, int>{{ControlId::kRecentBox, 1},
                                                            {ControlId::kTempBox, 1},
                                                            {ControlId::kNetscapeBox, 1},
                                                            {ControlId::kIECacheBox, 1},
                                                            {ControlId::kIEHistoryBox, 1},
                                                            {ControlId::kRecycleBinBox, 0}}));
  EXPECT_EQ(window.list.ColumnHeading(3), std::nullopt);
  EXPECT_EQ(window.list.ColumnHeading(0), "File/Path");
  EXPECT_EQ(window.list.ColumnWidth(0), 300);
  EXPECT_EQ(window.list.ColumnHeading(1), "WildCard");
  EXPECT_EQ(window.list.ColumnWidth(1), 50);
  EXPECT_EQ(window.list.ColumnHeading(2), "Recurse");
  EXPECT_EQ(window.list.ColumnWidth(2), 50);
  EXPECT_EQ(window.entries.Count(), 0);
  EXPECT_TRUE(window.messages.shown.empty());
}

TEST_F(SettingsOnDisk, EverythingSavedComesBack) {
  settings = CleanSettings{1, "/opt/run me.sh", 1, 1, 1, 1, 1, 1};
  TestWindow first;
  Load(first);
  first.boxes.SetCheck(ControlId::kRecentBox, 0);
  first.boxes.SetCheck(ControlId::kRecycleBinBox, 1);
  first.list.SetColumnWidth(0, 411);
  first.list.SetColumnWidth(2, 22);
  first.entries.InsertEntry(Wildcard("/a dir", "*.tmp", 1));
  first.entries.InsertEntry(File("/b\nfile\\\"x\xff"));
  Save(first);

  const CleanSettings saved = settings;
  settings = CleanSettings{};
  TestWindow second;
  Load(second);
  EXPECT_EQ(settings, saved);
  EXPECT_EQ(Checks(second.boxes), Checks(first.boxes));
  EXPECT_EQ(second.list.ColumnWidth(0), 411);
  EXPECT_EQ(second.list.ColumnWidth(1), 50);
  EXPECT_EQ(second.list.ColumnWidth(2), 22);
  // Each new entry went to the top; they come back as they were shown.
  EXPECT_EQ(second.Entries(),
            (std::vector<CleanEntry>{File("/b\nfile\\\"x\xff"), Wildcard("/a dir", "*.tmp", 1)}));
}

// A damaged or hand-edited width would be shown differently by each kind of
// list: every start brings it within the same bounds.
TEST_F(SettingsOnDisk, StoredWidthsOutsideTheBoundsAreBroughtWithin) {
  Store(kOptionsKey, "List Field 1", RegistryValue::Dword(0xffffffff));
  Store(kOptionsKey, "List Field 2", RegistryValue::Dword(3));
  Store(kOptionsKey, "List Field 3", RegistryValue::Dword(0x7fffffff));
  TestWindow window;
  Load(window);
  EXPECT_EQ(window.list.ColumnWidth(0), kMinimumColumnWidth);
  EXPECT_EQ(window.list.ColumnWidth(1), kMinimumColumnWidth);
  EXPECT_EQ(window.list.ColumnWidth(2), kMaximumColumnWidth);
}

// An older build showed the rows in reverse of the stored order and saved
// them as shown: a file it saved holds the order it showed last, which is
// the order the list shows now.
TEST_F(SettingsOnDisk, EachRunKeepsTheStoredOrder) {
  Store(kOptionsKey, "Number of Items", RegistryValue::Dword(2));
  Store(kEntriesKey, "00000_FilePath", RegistryValue::String("A"));
  Store(kEntriesKey, "00000_WildCard", RegistryValue::String("*.a"));
  Store(kEntriesKey, "00000_Recurse", RegistryValue::Dword(0));
  Store(kEntriesKey, "00001_FilePath", RegistryValue::String("B"));
  Store(kEntriesKey, "00001_WildCard", RegistryValue::String("*.b"));
  Store(kEntriesKey, "00001_Recurse", RegistryValue::Dword(1));

  TestWindow window;
  Load(window);
  EXPECT_EQ(window.Entries(),
            (std::vector<CleanEntry>{Wildcard("A", "*.a", 0), Wildcard("B", "*.b", 1)}));
  Save(window);
  EXPECT_EQ(Stored(kEntriesKey, "00000_FilePath"), RegistryValue::String("A"));
  EXPECT_EQ(Stored(kEntriesKey, "00000_WildCard"), RegistryValue::String("*.a"));
  EXPECT_EQ(Stored(kEntriesKey, "00001_FilePath"), RegistryValue::String("B"));
  EXPECT_EQ(Stored(kEntriesKey, "00001_Recurse"), RegistryValue::Dword(1));
}

TEST_F(SettingsOnDisk, AnIndividualEntryRemovesAnOlderWildcardOfItsIndex) {
  Store(kEntriesKey, "00003_WildCard", RegistryValue::String("*.old"));
  Store(kEntriesKey, "00003_Recurse", RegistryValue::Dword(1));
  TestWindow window;
  window.entries.InsertEntry(File("/file"));
  for (const char* path : {"/c", "/b", "/a"}) window.entries.InsertEntry(Wildcard(path, "*", 0));
  Save(window);

  EXPECT_EQ(Stored(kEntriesKey, "00003_FilePath"), RegistryValue::String("/file"));
  EXPECT_FALSE(Stored(kEntriesKey, "00003_WildCard"));
  EXPECT_EQ(Stored(kEntriesKey, "00003_Recurse"), RegistryValue::Dword(0));
}

TEST_F(SettingsOnDisk, EntriesAboveTheCountStayButAreNotLoaded) {
  TestWindow first;
  for (const char* path : {"/4", "/3", "/2", "/1", "/0"})
    first.entries.InsertEntry(Wildcard(path, "*.x", 0));
  Save(first);
  first.entries.DeleteEntry(0);
  first.entries.DeleteEntry(0);
  Save(first);

  EXPECT_EQ(Stored(kOptionsKey, "Number of Items"), RegistryValue::Dword(3));
  EXPECT_EQ(Stored(kEntriesKey, "00003_FilePath"), RegistryValue::String("/3"));
  EXPECT_EQ(Stored(kEntriesKey, "00004_FilePath"), RegistryValue::String("/4"));
  TestWindow second;
  Load(second);
  EXPECT_EQ(second.entries.Count(), 3);
}

TEST_F(SettingsOnDisk, WithSavingOffOnlyThatChoiceIsStored) {
  TestWindow first;
  first.entries.InsertEntry(File("/kept"));
  Save(first);
  const std::string before = LoadRegistryFile(UserRegistryFilePath()).Format();

  TestWindow second;
  Load(second);
  second.entries.InsertEntry(File("/not kept"));
  second.boxes.SetCheck(ControlId::kTempBox, 0);
  settings.m_bSaveSettings = 0;
  settings.m_bAutoClean = 1;
  Save(second);

  RegistryFile expected = RegistryFile::Parse(before);
  expected.SetValue(kUser, kOptionsKey, "Save settings", RegistryValue::Dword(0));
  EXPECT_EQ(LoadRegistryFile(UserRegistryFilePath()).Format(), expected.Format());

  TestWindow third;
  Load(third);
  EXPECT_EQ(settings.m_bSaveSettings, 0);
  EXPECT_EQ(settings.m_bAutoClean, 0);
  EXPECT_EQ(third.Entries(), std::vector<CleanEntry>{File("/kept")});
}

TEST_F(SettingsOnDisk, MissingEntryValuesTakeTheirDefaults) {
  Store(kOptionsKey, "Number of Items", RegistryValue::Dword(2));
  Store(kEntriesKey, "00000_FilePath", RegistryValue::String("/dir"));
  Store(kEntriesKey, "00000_WildCard", RegistryValue::String("*.log"));
  TestWindow window;
  Load(window);
  // Index 1 holds nothing: an individual entry with an empty path. The
  // missing recurse value of index 0 reads as -1, which counts as on.
  EXPECT_EQ(window.list.Rows(),
            (std::vector<std::vector<std::string>>{{"/dir", "*.log", "Yes"}, {"", "", ""}}));
  Save(window);
  EXPECT_EQ(Stored(kEntriesKey, "00000_Recurse"), RegistryValue::Dword(1));
}

TEST_F(SettingsOnDisk, AHugeCountLoadsNoMoreThanTheStoreCanHold) {
  Store(kOptionsKey, "Number of Items", RegistryValue::Dword(0x7fffffff));
  Store(kEntriesKey, "00000_FilePath", RegistryValue::String("/dir"));
  Store(kEntriesKey, "00000_WildCard", RegistryValue::String("*.log"));
  TestWindow window;
  Load(window);
  ASSERT_EQ(window.list.Rows().size(), 1000u);
  EXPECT_EQ(window.list.Rows().front(), (std::vector<std::string>{"/dir", "*.log", "Yes"}));
  EXPECT_EQ(window.list.Rows().back(), (std::vector<std::string>{"", "", ""}));
}

TEST_F(SettingsOnDisk, ALongStoredListLoadsWhole) {
  constexpr int kEntries = 1500;
  Store(kOptionsKey, "Number of Items", RegistryValue::Dword(kEntries));
  RegistryFile file = LoadRegistryFile(UserRegistryFilePath());
  for (int i = 0; i < kEntries; ++i) {
    char name[32];
    std::snprintf(name, sizeof name, "%05d_FilePath", i);
    file.SetValue(kUser, kEntriesKey, name, RegistryValue::String("/file" + std::to_string(i)));
  }
  ASSERT_TRUE(SaveRegistryFile(file, UserRegistryFilePath()));
  TestWindow window;
  Load(window);
  ASSERT_EQ(window.list.Rows().size(), static_cast<std::size_t>(kEntries));
  EXPECT_EQ(window.list.Rows().front()[0], "/file0");
  EXPECT_EQ(window.list.Rows().back()[0], "/file1499");
}

TEST_F(SettingsOnDisk, AnEntryThatCantBeInsertedIsReportedAndLoadingGoesOn) {
  Store(kOptionsKey, "Number of Items", RegistryValue::Dword(2));
  TestWindow window;
  window.list.full = true;
  Load(window);
  ASSERT_EQ(window.messages.shown.size(), 4u);
  const MessageRequest& ours = window.messages.shown[1];
  EXPECT_EQ(window.messages.shown[0].text, "Couldn't insert the entry!");
  EXPECT_EQ(ours.text, "Couldn't insert entry from registry!");
  EXPECT_EQ(ours.caption, "dustral");
  EXPECT_EQ(ours.icon, MessageIcon::kNone);
  EXPECT_EQ(ours.buttons, MessageButtons::kOk);
  EXPECT_EQ(window.messages.shown[3].text, "Couldn't insert entry from registry!");
}

TEST_F(SettingsOnDisk, OtherProgramsAndHandEditsComeThrough) {
  const std::string foreign =
      "REGEDIT4\n\n; my notes\n[HKEY_LOCAL_MACHINE\\SOFTWARE\\Microsoft\\Internet Explorer\\Main]\n"
      "\"Cache_Directory\"=\"C:\\\\cache\"\nsomething odd\n\n"
      "[HKEY_CURRENT_USER\\Software\\Orlemont Software\\dustral\\Default Settings]\n"
      "\"Unknown to us\"=hex(7):41,00,00,00\n\"Auto-clean\"=dword:00000001\n";
  WriteTestFile(UserRegistryFilePath(), foreign);
  TestWindow window;
  Load(window);
  EXPECT_EQ(settings.m_bAutoClean, 1);
  Save(window);

  const std::string after = LoadRegistryFile(UserRegistryFilePath()).Format();
  const std::string untouched = foreign.substr(0, foreign.find("\"Auto-clean\""));
  EXPECT_EQ(after.substr(0, untouched.size()), untouched);
}

// Records the calls made on the profile, over an in-memory store.
class RecordingProfile : public Profile {
 public:
  int32_t GetProfileInt(const std::string& section, const std::string& entry,
                        int32_t defaultValue) const override {
    log.push_back("int " + section + "/" + entry);
    auto it = ints.find(section + "/" + entry);
    return it == ints.end() ? defaultValue : it->second;
  }
  std::string GetProfileString(const std::string& section, const std::string& entry,
                               const std::string& defaultValue) const override {
    log.push_back("string " + section + "/" + entry);
    auto it = strings.find(section + "/" + entry);
    return it == strings.end() ? defaultValue : it->second;
  }
  std::size_t CountValues(const std::string& section) const override {
    std::size_t count = 0;
    for (const auto& [name, value] : ints) count += name.starts_with(section + "/") ? 1 : 0;
    for (const auto& [name, value] : strings) count += name.starts_with(section + "/") ? 1 : 0;
    return count;
  }
  void WriteProfileInt(const std::string& section, const std::string& entry,
                       int32_t value) override {
    log.push_back("write " + section + "/" + entry + "=" + std::to_string(value));
  }
  void WriteProfileString(const std::string& section, const std::string& entry,
                          const std::optional<std::string>& text) override {
    log.push_back(text ? "write " + section + "/" + entry + "=" + *text
                       : "delete " + section + "/" + entry);
  }
  bool Commit() override {
    log.push_back("commit");
    return true;
  }

  std::map<std::string, int32_t> ints;
  std::map<std::string, std::string> strings;
  mutable std::vector<std::string> log;
};

TEST(SettingsOrder, LoadReadsInItsFixedOrder) {
  RecordingProfile profile;
  int number = 20;
  for (const char* name :
       {"Auto-run EXE", "Auto-clean", "Save settings", "Quit after cleaning", "Del Read-Only Files",
        "Del System Files", "Del Hidden Files", "Recent Clear", "Temp Clear", "Netscape Clear",
        "Explorer Clear", "Explorer History Clear", "Empty Recycle Bin", "List Field 1",
        "List Field 2", "List Field 3"})
    profile.ints[std::string("Default Settings/") + name] = number++;
  // A box shows only whether it is ticked: every other one is not.
  for (const char* name : {"Temp Clear", "Explorer Clear", "Empty Recycle Bin"})
    profile.ints[std::string("Default Settings/") + name] = 0;
  profile.strings["Default Settings/Exe to run"] = "/run";
  profile.ints["Default Settings/Number of Items"] = 1;
  TestWindow window;
  CleanSettings settings;
  LoadSettings(profile, settings, window.window);

  EXPECT_EQ(settings, (CleanSettings{20, "/run", 22, 23, 25, 24, 26, 21}));
  EXPECT_EQ(Checks(window.boxes), (std::map<ControlId, int>{{ControlId::kRecentBox, 1},
                                                            {ControlId::kTempBox, 0},
                                                            {ControlId::kNetscapeBox, 1},
                                                            {ControlId::kIECacheBox, 0},
                                                            {ControlId::kIEHistoryBox, 1},
                                                            {ControlId::kRecycleBinBox, 0}}));
  EXPECT_EQ(window.list.ColumnWidth(0), 33);
  EXPECT_EQ(window.list.ColumnWidth(1), 34);
  EXPECT_EQ(window.list.ColumnWidth(2), 35);
  EXPECT_EQ(profile.log, (std::vector<std::string>{
                             "int Default Settings/Auto-run EXE",
                             "int Default Settings/Auto-clean",
                             "int Default Settings/Save settings",
                             "int Default Settings/Quit after cleaning",
                             "string Default Settings/Exe to run",
                             "int Default Settings/Del Read-Only Files",
                             "int Default Settings/Del System Files",
                             "int Default Settings/Del Hidden Files",
                             "int Default Settings/Recent Clear",
                             "int Default Settings/Temp Clear",
                             "int Default Settings/Netscape Clear",
                             "int Default Settings/Explorer Clear",
                             "int Default Settings/Explorer History Clear",
                             "int Default Settings/Empty Recycle Bin",
                             "int Default Settings/List Field 1",
                             "int Default Settings/List Field 2",
                             "int Default Settings/List Field 3",
                             "int Default Settings/Number of Items",
                             "string Entries/00000_FilePath",
                             "string Entries/00000_WildCard",
                             "int Entries/00000_Recurse",
                         }));
}

TEST(SettingsOrder, SaveWritesInItsFixedOrderAndCommitsOnce) {
  RecordingProfile profile;
  TestWindow window;
  CleanSettings settings;
  LoadSettings(profile, settings, window.window);
  profile.log.clear();
  settings = CleanSettings{11, "/bin/x", 1, 13, 14, 15, 16, 17};
  window.boxes.SetCheck(ControlId::kTempBox, 0);
  window.boxes.SetCheck(ControlId::kRecycleBinBox, 1);
  window.entries.InsertEntry(Wildcard("/w", "*.tmp", 0));
  window.entries.InsertEntry(File("/f"));
  window.list.InsertRow(2, "/bad row");
  window.list.SetCellText(2, 1, "*.x");
  window.list.SetCellText(2, 2, "maybe");  // can't be read back: skipped
  window.list.SetColumnWidth(1, 77);

  SaveSettings(profile, settings, window.window);
  EXPECT_EQ(profile.log, (std::vector<std::string>{
                             "write Default Settings/Save settings=1",
                             "write Default Settings/Auto-run EXE=11",
                             "write Default Settings/Auto-clean=17",
                             "write Default Settings/Quit after cleaning=13",
                             "write Default Settings/Exe to run=/bin/x",
                             "write Default Settings/Del Read-Only Files=15",
                             "write Default Settings/Del System Files=14",
                             "write Default Settings/Del Hidden Files=16",
                             "write Default Settings/Recent Clear=1",
                             "write Default Settings/Temp Clear=0",
                             "write Default Settings/Netscape Clear=1",
                             "write Default Settings/Explorer Clear=1",
                             "write Default Settings/Explorer History Clear=1",
                             "write Default Settings/Empty Recycle Bin=1",
                             "write Default Settings/Number of Items=3",
                             "write Entries/00000_FilePath=/f",
                             "delete Entries/00000_WildCard",
                             "write Entries/00000_Recurse=0",
                             "write Entries/00001_FilePath=/w",
                             "write Entries/00001_WildCard=*.tmp",
                             "write Entries/00001_Recurse=0",
                             "write Default Settings/List Field 1=300",
                             "write Default Settings/List Field 2=77",
                             "write Default Settings/List Field 3=50",
                             "commit",
                         }));
}

TEST(SettingsOrder, ColumnsThatDontAnswerAreNotWritten) {
  RecordingProfile profile;
  TestWindow window;  // no columns created
  CleanSettings settings;
  SaveSettings(profile, settings, window.window);
  for (const auto& call : profile.log) EXPECT_EQ(call.find("List Field"), std::string::npos);
}

}  // namespace
