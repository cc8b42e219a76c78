#include "session/options_form.h"

#include <gtest/gtest.h>

#include <map>

#include "testing/recording_controls.h"

namespace {

class MemoryOptionControls : public OptionControls {
 public:
  bool IsTicked(OptionControlId box) const override { return ticks.at(box); }
  void SetTicked(OptionControlId box, bool ticked) override { ticks[box] = ticked; }
  std::string TextOf(OptionControlId edit) const override { return texts.at(edit); }
  void SetText(OptionControlId edit, const std::string& text) override { texts[edit] = text; }

  std::map<OptionControlId, bool> ticks;
  std::map<OptionControlId, std::string> texts;
};

TEST(OptionsForm, ShowsEachOptionInItsControlAndOkReadsThemBack) {
  const CleanSettings shown{1, "run.exe", 0, 1, 9, 0, 1, 0};
  MemoryOptionControls controls;
  ShowOptions(shown, controls);
  EXPECT_TRUE(controls.ticks.at(OptionControlId::kSystemFilesBox));
  EXPECT_EQ(controls.texts.at(OptionControlId::kProgramEdit), "run.exe");

  CleanSettings settings;
  ScriptedMessageBox messages;
  EXPECT_TRUE(AcceptOptions(controls, settings, messages));
  EXPECT_EQ(settings, (CleanSettings{1, "run.exe", 0, 1, 1, 0, 1, 0}));
  EXPECT_TRUE(messages.shown.empty());
}

TEST(OptionsForm, LockingOneselfOutAsksAndADeclineChangesNothing) {
  MemoryOptionControls controls;
  CleanSettings locked;
  locked.m_bAutoClean = 1;
  locked.m_bQuitAfterCleaning = 1;
  ShowOptions(locked, controls);

  CleanSettings settings;
  ScriptedMessageBox messages;
  messages.answers = {MessageAnswer::kCancel, MessageAnswer::kOk};
  EXPECT_FALSE(AcceptOptions(controls, settings, messages));
  EXPECT_EQ(settings, CleanSettings{});
  EXPECT_TRUE(AcceptOptions(controls, settings, messages));
  EXPECT_EQ(settings, locked);
  ASSERT_EQ(messages.shown.size(), 2u);
  EXPECT_EQ(messages.shown[0].caption, "Dustral");
  EXPECT_EQ(messages.shown[0].icon, MessageIcon::kQuestion);
}

}  // namespace
