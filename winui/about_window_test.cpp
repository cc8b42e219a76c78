#include "winui/about_window.h"

#include <gtest/gtest.h>

#include "winui/help_sections.h"
#include "winui/testing/dialog_rig.h"
#include "winui/testing/next_dialog.h"

namespace {

BOOL CALLBACK CollectTexts(HWND control, LPARAM texts) {
  reinterpret_cast<std::vector<std::string>*>(texts)->push_back(TextOf(control));
  return TRUE;
}

TEST(AboutWindow, ShowsNameAndVersionAndEndsWithOkOrEscape) {
  TestOwnerWindow owner;
  std::vector<std::string> texts;
  std::string caption;
  std::string section;
  OnNextDialog([&](HWND dialog) {
    caption = TextOf(dialog);
    section = HelpSectionOf(GetDlgItem(dialog, IDOK));
    EnumChildWindows(dialog, CollectTexts, reinterpret_cast<LPARAM>(&texts));
    ClickButton(dialog, IDOK);
  });
  RunAboutBox(owner.Handle());
  EXPECT_EQ(caption, "About Dustral");
  EXPECT_EQ(section, "about");
  EXPECT_NE(std::find(texts.begin(), texts.end(), "Dustral Version 1.0b1"), texts.end());

  // Escape reaches a dialog as IDCANCEL.
  OnNextDialog([](HWND dialog) { SendMessageW(dialog, WM_COMMAND, IDCANCEL, 0); });
  RunAboutBox(owner.Handle());
  EXPECT_EQ(PendingDialogActions(), 0);
}

}  // namespace
