#include "settings/entry_commands.h"

#include <gtest/gtest.h>

#include <functional>
#include <vector>

#include "testing/recording_controls.h"

namespace {

using Rows = std::vector<std::vector<std::string>>;

// Records each opening and answers as scripted: `change` is applied to the
// entry and `confirm` returned.
class ScriptedEditor : public EntryEditor {
 public:
  bool Run(CleanEntry& entry, EntryEditMode mode) override {
    opened.push_back({entry, mode});
    if (change) change(entry);
    return confirm;
  }

  struct Opening {
    CleanEntry entry;
    EntryEditMode mode;
  };
  std::vector<Opening> opened;
  std::function<void(CleanEntry&)> change;
  bool confirm = true;
};

class EntryCommandsTest : public ::testing::Test {
 protected:
  // Rows are given top first.
  void Fill(const std::vector<CleanEntry>& topFirst) {
    for (auto it = topFirst.rbegin(); it != topFirst.rend(); ++it) entries.InsertEntry(*it);
  }

  FullableListControl list;
  ScriptedMessageBox messages;
  EntryList entries{list, messages};
  ScriptedEditor editor;
  EntryCommands commands{entries, messages, editor, "dustral"};
};

const CleanEntry kA{0, "/a", "*.tmp", 0};
const CleanEntry kB{1, "/b/file", "", 0};
const CleanEntry kC{0, "/c", "*.bak", 1};

TEST_F(EntryCommandsTest, AddOpensAnEmptyEntryAndPutsTheResultOnTop) {
  Fill({kA});
  editor.change = [](CleanEntry& e) { e = CleanEntry{0, "/new", "*.old", 1}; };
  commands.OnAddEntry();

  ASSERT_EQ(editor.opened.size(), 1u);
  EXPECT_EQ(editor.opened[0].mode, EntryEditMode::kAdd);
  EXPECT_EQ(editor.opened[0].entry.path, "");
  EXPECT_EQ(editor.opened[0].entry.wildcard, "");
  EXPECT_EQ(list.Rows(), (Rows{{"/new", "*.old", "Yes"}, {"/a", "*.tmp", "No"}}));

  editor.confirm = false;
  commands.OnAddEntry();
  EXPECT_EQ(list.Rows().size(), 2u);
  EXPECT_TRUE(messages.shown.empty());
}

TEST_F(EntryCommandsTest, EditMovesTheEditedEntryToTheTop) {
  Fill({kA, kB, kC});
  list.Select(1);
  editor.change = [](CleanEntry& e) { e.path = "/b/other"; };
  commands.OnEditEntry();

  ASSERT_EQ(editor.opened.size(), 1u);
  EXPECT_EQ(editor.opened[0].mode, EntryEditMode::kEdit);
  EXPECT_EQ(editor.opened[0].entry.path, "/b/file");
  EXPECT_EQ(editor.opened[0].entry.individual, 1);
  EXPECT_EQ(list.Rows(),
            (Rows{{"/b/other", "", ""}, {"/a", "*.tmp", "No"}, {"/c", "*.bak", "Yes"}}));
}

TEST_F(EntryCommandsTest, EditingAWildcardEntryIntoAFileClearsItsColumns) {
  Fill({kC});
  list.Select(0);
  editor.change = [](CleanEntry& e) { e.individual = 1, e.path = "/c/one"; };
  commands.OnEditEntry();
  EXPECT_EQ(list.Rows(), (Rows{{"/c/one", "", ""}}));
}

TEST_F(EntryCommandsTest, CopyKeepsTheOriginalAndAddsTheCopyOnTop) {
  Fill({kA, kC});
  list.Select(1);
  commands.OnCopyEntry();

  ASSERT_EQ(editor.opened.size(), 1u);
  EXPECT_EQ(editor.opened[0].mode, EntryEditMode::kEdit);
  EXPECT_EQ(list.Rows(),
            (Rows{{"/c", "*.bak", "Yes"}, {"/a", "*.tmp", "No"}, {"/c", "*.bak", "Yes"}}));
}

TEST_F(EntryCommandsTest, CancelledEditOrCopyChangesNothing) {
  Fill({kA, kB});
  list.Select(1);
  editor.confirm = false;
  editor.change = [](CleanEntry& e) { e.path = "/changed"; };
  commands.OnEditEntry();
  commands.OnCopyEntry();
  EXPECT_EQ(editor.opened.size(), 2u);
  EXPECT_EQ(list.Rows(), (Rows{{"/a", "*.tmp", "No"}, {"/b/file", "", ""}}));
}

TEST_F(EntryCommandsTest, EditOrCopyWithoutAReadableSelectionSaysNoItem) {
  Fill({kA});
  list.Select(-1);
  commands.OnEditEntry();
  commands.OnCopyEntry();
  list.Select(0);
  list.SetCellText(0, 2, "Maybe");  // a row that can't be read back
  commands.OnEditEntry();

  EXPECT_TRUE(editor.opened.empty());
  ASSERT_EQ(messages.shown.size(), 3u);
  for (const auto& shown : messages.shown) {
    EXPECT_EQ(shown.text, "No item specified!");
    EXPECT_EQ(shown.caption, "dustral");
    EXPECT_EQ(shown.icon, MessageIcon::kNone);
    EXPECT_EQ(shown.buttons, MessageButtons::kOk);
  }
}

TEST_F(EntryCommandsTest, DeleteRemovesTheSelectedRowWithoutAsking) {
  Fill({kA, kB, kC});
  list.Select(1);
  commands.OnDeleteEntry();
  EXPECT_EQ(list.Rows(), (Rows{{"/a", "*.tmp", "No"}, {"/c", "*.bak", "Yes"}}));
  EXPECT_TRUE(messages.shown.empty());

  list.Select(-1);
  commands.OnDeleteEntry();
  EXPECT_EQ(list.Rows().size(), 2u);
  ASSERT_EQ(messages.shown.size(), 1u);
  EXPECT_EQ(messages.shown[0].text, "Couldn't delete entry!");
}

TEST_F(EntryCommandsTest, DroppedNamesBecomeFileEntriesLastOnTop) {
  Fill({kA});
  const std::string strange = "/d/-x y\n\\z\xff" + std::string(300, 'n');
  commands.OnDropFiles({"/d/x", "/d/folder", strange});
  EXPECT_EQ(
      list.Rows(),
      (Rows{{strange, "", ""}, {"/d/folder", "", ""}, {"/d/x", "", ""}, {"/a", "*.tmp", "No"}}));
}

TEST_F(EntryCommandsTest, ARefusedDropGoesOnWithTheNextName) {
  list.full = true;
  commands.OnDropFiles({"/x", "/y"});
  EXPECT_EQ(messages.shown.size(), 2u);
  EXPECT_TRUE(list.Rows().empty());
}

TEST_F(EntryCommandsTest, LabelEditTakesAnyTextAndKeepsTheEntryKind) {
  Fill({kA, kB});
  commands.OnEndLabelEdit(0, "/a2");
  commands.OnEndLabelEdit(1, "");
  EXPECT_EQ(list.Rows(), (Rows{{"/a2", "*.tmp", "No"}, {"", "", ""}}));
  EXPECT_TRUE(messages.shown.empty());

  commands.OnEndLabelEdit(7, "/nowhere");
  EXPECT_EQ(list.Rows().size(), 2u);
}

TEST_F(EntryCommandsTest, RetargetingAnEverythingEntryAsksFirst) {
  Fill({CleanEntry{0, "/old", "*.*", 1}});
  messages.answers = {MessageAnswer::kCancel, MessageAnswer::kOk};

  commands.OnEndLabelEdit(0, "/home/me");
  EXPECT_EQ(list.Rows()[0][0], "/old");
  commands.OnEndLabelEdit(0, "/home/me");
  EXPECT_EQ(list.Rows()[0], (std::vector<std::string>{"/home/me", "*.*", "Yes"}));

  ASSERT_EQ(messages.shown.size(), 2u);
  const MessageRequest& question = messages.shown[0];
  EXPECT_EQ(question.text, "This will delete ALL files under /home/me. Continue?");
  EXPECT_EQ(question.caption, "Dustral");
  EXPECT_EQ(question.icon, MessageIcon::kQuestion);
  EXPECT_EQ(question.buttons, MessageButtons::kOkCancelDefaultCancel);
}

TEST_F(EntryCommandsTest, OnlyAnExactEverythingWildcardWithANewPathAsks) {
  Fill(
      {CleanEntry{0, "/a", "*.* ", 0}, CleanEntry{0, "/b", "*", 0}, CleanEntry{0, "/c", "*.*", 0}});
  messages.defaultAnswer = MessageAnswer::kCancel;
  commands.OnEndLabelEdit(0, "/a2");
  commands.OnEndLabelEdit(1, "/b2");
  commands.OnEndLabelEdit(2, "/c");  // unchanged
  commands.OnEndLabelEdit(2, "");    // an empty path sweeps nothing
  EXPECT_TRUE(messages.shown.empty());
  EXPECT_EQ(list.Rows()[0][0], "/a2");
  EXPECT_EQ(list.Rows()[1][0], "/b2");
  EXPECT_EQ(list.Rows()[2][0], "");
}

}  // namespace
