#include "session/entry_form.h"

#include <gtest/gtest.h>

#include "testing/recording_controls.h"

namespace {

#ifdef _WIN32
constexpr char kRoot[] = "C:\\";
constexpr char kNotAFullPath[] = "Please enter a full path, beginning with a drive such as C:\\!";
#else
constexpr char kRoot[] = "/";
constexpr char kNotAFullPath[] = "Please enter a full path, beginning with /!";
#endif

std::string Full(const std::string& relative) { return kRoot + relative; }

TEST(EntryForm, OkChecksTheChosenKindInOrderAndSaysWhatIsMissing) {
  struct Case {
    const char* why;
    EntryFormFields shown;
    bool accepted;
    const char* message;  // none when empty
    CleanEntry entry;     // afterwards, from {0, "old", "*.old", 1}
  };
  const Case cases[] = {
      {"no kind chosen",
       {false, false, Full("f"), Full("d"), "*.tmp", true},
       false,
       "",
       {0, "old", "*.old", 1}},
      {"a file keeps the wildcard fields",
       {true, true, Full("f"), "", "", false},
       true,
       "",
       {1, Full("f"), "*.old", 1}},
      {"no file",
       {true, false, "", Full("d"), "*.tmp", false},
       false,
       "Please enter a valid file description!",
       {0, "", "*.old", 1}},
      {"a blank is a name",
       {true, false, " ", "", "", false},
       false,
       kNotAFullPath,
       {0, " ", "*.old", 1}},
      {"no directory",
       {false, true, Full("f"), "", "*.tmp", false},
       false,
       "Please enter a valid directory!",
       {0, "", "*.old", 1}},
      {"relative directory",
       {false, true, "", "d", "*.tmp", false},
       false,
       kNotAFullPath,
       {0, "d", "*.old", 1}},
      {"no wildcard",
       {false, true, "", Full("d"), "", true},
       false,
       "Please enter a valid wildcard!",
       {0, Full("d"), "", 1}},
      {"a wildcard entry",
       {false, true, "", Full("d"), "*.tmp", false},
       true,
       "",
       {0, Full("d"), "*.tmp", 0}},
      {"only exactly *.* asks",
       {false, true, "", Full("d"), "*.* ", true},
       true,
       "",
       {0, Full("d"), "*.* ", 1}},
  };
  for (const Case& c : cases) {
    CleanEntry entry{0, "old", "*.old", 1};
    ScriptedMessageBox messages;
    EXPECT_EQ(AcceptEntryForm(c.shown, entry, messages), c.accepted) << c.why;
    EXPECT_EQ(entry, c.entry) << c.why;
    if (*c.message) {
      ASSERT_EQ(messages.shown.size(), 1u) << c.why;
      EXPECT_EQ(messages.shown[0].text, c.message) << c.why;
      EXPECT_EQ(messages.shown[0].caption, "File error") << c.why;
      EXPECT_EQ(messages.shown[0].icon, MessageIcon::kExclamation) << c.why;
    } else {
      EXPECT_TRUE(messages.shown.empty()) << c.why;
    }
  }
}

}  // namespace
