#include "winui/options_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "resources/options_dialog_template.h"
#include "winui/dialog_item_text.h"
#include "winui/testing/dialog_rig.h"
#include "winui/testing/next_dialog.h"

namespace {

using namespace options_dialog;

class RecordingHelp : public HelpOpener {
 public:
  void ShowContents(HWND owner) override { asked.push_back({owner, "contents"}); }
  void ShowSection(HWND owner, const std::string& section) override {
    asked.push_back({owner, section});
  }
  std::vector<std::pair<HWND, std::string>> asked;
};

class OptionsWindowTest : public ::testing::Test {
 protected:
  bool Run(std::function<void(HWND)> act) {
    OnNextDialog(std::move(act));
    const bool confirmed = RunOptionsDialog(owner.Handle(), settings, ui, help);
    EXPECT_EQ(PendingDialogActions(), 0);
    return confirmed;
  }

  TestOwnerWindow owner;
  ScriptedUiServices ui;
  RecordingHelp help;
  CleanSettings settings;
};

TEST_F(OptionsWindowTest, ShowsTheRecordAndCancelWritesNothing) {
  settings = {1, "C:\\Tools\\after.exe", 0, 1, 0, 7, 1, 0};
  const CleanSettings before = settings;
  const bool confirmed = Run([](HWND dialog) {
    EXPECT_EQ(TextOf(dialog), "Dustral Options");
    EXPECT_TRUE(IsItemChecked(dialog, kAutoRunBox));
    EXPECT_EQ(DialogItemText(dialog, kProgramEdit), "C:\\Tools\\after.exe");
    EXPECT_FALSE(IsItemChecked(dialog, kSaveSettingsBox));
    EXPECT_TRUE(IsItemChecked(dialog, kQuitAfterCleaningBox));
    EXPECT_FALSE(IsItemChecked(dialog, kSystemFilesBox));
    EXPECT_TRUE(IsItemChecked(dialog, kReadOnlyFilesBox));  // any non-zero number is on
    EXPECT_TRUE(IsItemChecked(dialog, kHiddenFilesBox));
    EXPECT_FALSE(IsItemChecked(dialog, kAutoCleanBox));
    ClickButton(dialog, kSystemFilesBox);
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(settings, before);
}

TEST_F(OptionsWindowTest, OkWritesEveryControlAsZeroOrOne) {
  settings = {0, "old.exe", 1, 0, 5, 0, 0, 0};
  const bool confirmed = Run([](HWND dialog) {
    SetDialogItemText(dialog, kProgramEdit, "");
    for (int box : {kAutoRunBox, kSaveSettingsBox, kSystemFilesBox, kHiddenFilesBox})
      ClickButton(dialog, box);
    ClickButton(dialog, IDOK);
  });
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(settings, (CleanSettings{1, "", 0, 0, 0, 0, 1, 0}));
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(OptionsWindowTest, AutoCleanWithQuitAsksAndADeclineThenCancelKeepsTheRecord) {
  ui.answers = {MessageAnswer::kCancel};
  const bool confirmed = Run([&](HWND dialog) {
    ClickButton(dialog, kAutoCleanBox);
    ClickButton(dialog, kQuitAfterCleaningBox);
    ClickButton(dialog, IDOK);
    EXPECT_TRUE(IsStillOpen(dialog));
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_FALSE(confirmed);
  EXPECT_EQ(settings, CleanSettings{});
  ASSERT_EQ(ui.messages.size(), 1u);
  EXPECT_EQ(ui.messages[0].request.text,
            "Warning: Auto-clean and auto-quit means that you won't be able to change options "
            "again! Continue?");
  EXPECT_EQ(ui.messages[0].request.caption, "Dustral");
  EXPECT_EQ(ui.messages[0].request.buttons, MessageButtons::kOkCancelDefaultCancel);

  ui.answers = {MessageAnswer::kOk};
  EXPECT_TRUE(Run([](HWND dialog) {
    ClickButton(dialog, kAutoCleanBox);
    ClickButton(dialog, kQuitAfterCleaningBox);
    ClickButton(dialog, IDOK);
  }));
  EXPECT_EQ(settings.m_bAutoClean, 1);
  EXPECT_EQ(settings.m_bQuitAfterCleaning, 1);
}

TEST_F(OptionsWindowTest, ChooseFillsTheProgramAndTicksAutoRunButOnlyOkStoresIt) {
  ui.chosenFile = "C:\\Program Files\\Tool\\tool.exe";
  settings.m_strExeToRun = "C:\\typed.exe";
  Run([](HWND dialog) {
    ClickButton(dialog, kChooseButton);
    EXPECT_EQ(DialogItemText(dialog, kProgramEdit), "C:\\Program Files\\Tool\\tool.exe");
    EXPECT_TRUE(IsItemChecked(dialog, kAutoRunBox));
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(settings.m_strExeToRun, "C:\\typed.exe");
  EXPECT_EQ(settings.m_bAutoRun, 0);
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].title, "Select executable to run");
  EXPECT_EQ(ui.fileRequests[0].typedPath, "C:\\typed.exe");
  EXPECT_EQ(ui.fileRequests[0].filters[0],
            (std::pair<std::string, std::string>{"Executables (*.exe) ", "*.exe"}));
}

TEST_F(OptionsWindowTest, HelpButtonAndF1OpenTheOptionsSectionAndTheDialogStays) {
  HWND shown = nullptr;
  Run([&](HWND dialog) {
    shown = dialog;
    ClickButton(dialog, kHelpButton);
    HELPINFO info = {
        sizeof(HELPINFO), HELPINFO_WINDOW, kAutoRunBox, GetDlgItem(dialog, kAutoRunBox), 0, {0, 0}};
    SendMessageW(dialog, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_TRUE(IsStillOpen(dialog));
    ClickButton(dialog, IDCANCEL);
  });
  const std::vector<std::pair<HWND, std::string>> expected{{shown, "options"}, {shown, "options"}};
  EXPECT_EQ(help.asked, expected);
}

}  // namespace
