#include "settings/entry_list.h"

#include <gtest/gtest.h>

#include "settings/testing/clean_inputs.h"
#include "testing/recording_controls.h"

namespace {

class EntryListTest : public ::testing::Test {
 protected:
  FullableListControl list;
  ScriptedMessageBox messages;
  EntryList entries{list, messages};
};

TEST_F(EntryListTest, NewRowsGoToTheTopInTheirRowForm) {
  ASSERT_TRUE(entries.InsertEntry(Wildcard("/a", "*.tmp", 0)));
  ASSERT_TRUE(entries.InsertEntry(File("/b/file")));
  ASSERT_TRUE(entries.InsertEntry(Wildcard("/c", "*.bak", -1)));

  ASSERT_EQ(list.Rows().size(), 3u);
  EXPECT_EQ(list.Rows()[0], (std::vector<std::string>{"/c", "*.bak", "Yes"}));
  EXPECT_EQ(list.Rows()[1], (std::vector<std::string>{"/b/file", "", ""}));
  EXPECT_EQ(list.Rows()[2], (std::vector<std::string>{"/a", "*.tmp", "No"}));
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EntryListTest, RowsReadBackAsEntries) {
  entries.InsertEntry(Wildcard("/a", "*.tmp", 0));
  entries.InsertEntry(Wildcard("/c", "*.bak", 7));
  entries.InsertEntry(File("/b/file"));

  CleanEntry entry{0, "old", "keep", 5};
  ASSERT_TRUE(entries.GetEntry(0, entry));
  // An individual row leaves wildcard and recurse as they were.
  EXPECT_EQ(entry, (CleanEntry{1, "/b/file", "keep", 5}));
  ASSERT_TRUE(entries.GetEntry(1, entry));
  EXPECT_EQ(entry, Wildcard("/c", "*.bak", 1));
  ASSERT_TRUE(entries.GetEntry(2, entry));
  EXPECT_EQ(entry, Wildcard("/a", "*.tmp", 0));
}

TEST_F(EntryListTest, LongAndStrangeTextsComeBackWhole) {
  const std::string longPath = "/" + std::string(600, 'p') + "\n\\ -x \xff";
  entries.InsertEntry(File(longPath));
  CleanEntry entry;
  ASSERT_TRUE(entries.GetEntry(0, entry));
  EXPECT_EQ(entry.path, longPath);
}

TEST_F(EntryListTest, UnreadableRowsAreRefused) {
  CleanEntry entry;
  EXPECT_FALSE(entries.GetEntry(-1, entry));
  EXPECT_FALSE(entries.GetEntry(0, entry));

  entries.InsertEntry(Wildcard("/a", "*.tmp", 1));
  for (const char* bad : {"yes", "YES", "", "Yes "}) {
    list.SetCellText(0, 2, bad);
    EXPECT_FALSE(entries.GetEntry(0, entry)) << '"' << bad << '"';
  }
}

TEST_F(EntryListTest, RefusedInsertAndDeleteAreReported) {
  list.full = true;
  EXPECT_FALSE(entries.InsertEntry(File("/x")));
  list.full = false;
  entries.InsertEntry(File("/y"));
  EXPECT_FALSE(entries.DeleteEntry(5));
  EXPECT_FALSE(entries.DeleteEntry(-1));
  EXPECT_EQ(list.Rows().size(), 1u);

  ASSERT_EQ(messages.shown.size(), 3u);
  EXPECT_EQ(messages.shown[0].text, "Couldn't insert the entry!");
  EXPECT_EQ(messages.shown[1].text, "Couldn't delete entry!");
  for (const auto& shown : messages.shown) {
    EXPECT_EQ(shown.caption, "Error");
    EXPECT_EQ(shown.icon, MessageIcon::kStop);
    EXPECT_EQ(shown.buttons, MessageButtons::kOk);
  }

  EXPECT_TRUE(entries.DeleteEntry(0));
  EXPECT_EQ(list.Rows().size(), 0u);
}

}  // namespace
