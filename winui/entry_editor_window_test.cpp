#include "winui/entry_editor_window.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "resources/entry_dialog_template.h"
#include "winui/dialog_item_text.h"
#include "winui/help_sections.h"
#include "winui/testing/dialog_rig.h"
#include "winui/testing/next_dialog.h"

namespace {

using namespace entry_dialog;

// Types `text` into a control one character at a time, as the keyboard does.
void TypeInto(HWND dialog, int id, const std::string& text) {
  for (wchar_t c : WideFromNarrow(text)) SendDlgItemMessageW(dialog, id, WM_CHAR, c, 0);
}

std::vector<std::string> WildcardList(HWND dialog) {
  std::vector<std::string> items;
  const auto count = SendDlgItemMessageW(dialog, kWildcardBox, CB_GETCOUNT, 0, 0);
  for (LRESULT i = 0; i < count; ++i) {
    wchar_t item[64] = {};
    SendDlgItemMessageW(dialog, kWildcardBox, CB_GETLBTEXT, i, reinterpret_cast<LPARAM>(item));
    items.push_back(NarrowFromWide(item));
  }
  return items;
}

struct Mode {
  bool individual;
  bool wildcard;
  bool operator==(const Mode&) const = default;
};
Mode ModeOf(HWND dialog) {
  return {IsItemChecked(dialog, kIndividualRadio), IsItemChecked(dialog, kWildcardRadio)};
}

class EntryEditorWindowTest : public ::testing::Test {
 protected:
  bool Run(EntryEditMode mode, std::function<void(HWND)> act) {
    OnNextDialog(std::move(act));
    const bool confirmed = RunEntryEditor(owner.Handle(), entry, mode, ui);
    EXPECT_EQ(PendingDialogActions(), 0);
    return confirmed;
  }

  TestOwnerWindow owner;
  ScriptedUiServices ui;
  CleanEntry entry;
};

TEST_F(EntryEditorWindowTest, AddStartsWithNoModeAndOkDoesNothingUntilOneIsChosen) {
  const bool confirmed = Run(EntryEditMode::kAdd, [](HWND dialog) {
    EXPECT_EQ(TextOf(dialog), "Add new entry...");
    EXPECT_EQ(ModeOf(dialog), (Mode{false, false}));
    EXPECT_EQ(WildcardList(dialog), (std::vector<std::string>{"*.*", "*.tmp", "*.bak", "*.old"}));
    EXPECT_EQ(DialogItemText(dialog, kWildcardBox), "");
    ClickButton(dialog, IDOK);
    EXPECT_TRUE(IsStillOpen(dialog));
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_FALSE(confirmed);
  EXPECT_TRUE(ui.messages.empty());
}

TEST_F(EntryEditorWindowTest, EditShowsAWildcardEntryWithItsWildcardFirst) {
  entry = {0, "C:\\data", "*.bak", 1};
  const bool confirmed = Run(EntryEditMode::kEdit, [](HWND dialog) {
    EXPECT_EQ(TextOf(dialog), "Edit existing entry...");
    EXPECT_EQ(ModeOf(dialog), (Mode{false, true}));
    EXPECT_EQ(DialogItemText(dialog, kPathEdit), "C:\\data");
    EXPECT_TRUE(IsItemChecked(dialog, kRecurseBox));
    EXPECT_EQ(WildcardList(dialog),
              (std::vector<std::string>{"*.bak", "*.*", "*.tmp", "*.bak", "*.old"}));
    EXPECT_EQ(DialogItemText(dialog, kWildcardBox), "*.bak");
    // Enter on the dialog is OK.
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsStillOpen(dialog));
  });
  EXPECT_TRUE(confirmed);
  EXPECT_EQ(entry, (CleanEntry{0, "C:\\data", "*.bak", 1}));
}

TEST_F(EntryEditorWindowTest, TypingInAnEditSwitchesToItsKindAndOkTakesOnlyThatKind) {
  entry = {0, "C:\\was", "*.tmp", 1};
  const bool confirmed = Run(EntryEditMode::kEdit, [](HWND dialog) {
    TypeInto(dialog, kFileEdit, "C:\\one.dat");
    EXPECT_EQ(ModeOf(dialog), (Mode{true, false}));
    TypeInto(dialog, kPathEdit, "x");
    EXPECT_EQ(ModeOf(dialog), (Mode{false, true}));
    TypeInto(dialog, kFileEdit, "x");
    ClickButton(dialog, IDOK);
  });
  EXPECT_TRUE(confirmed);
  // A file entry keeps the wildcard fields it had.
  EXPECT_EQ(entry, (CleanEntry{1, "C:\\one.datx", "*.tmp", 1}));
}

TEST_F(EntryEditorWindowTest, OkSaysWhatIsMissingAndCancelLeavesTheRecordAlone) {
  entry = {1, "C:\\keep.me", "", 0};
  const bool confirmed = Run(EntryEditMode::kEdit, [](HWND dialog) {
    SetDialogItemText(dialog, kPathEdit, "C:\\dir");
    SetDialogItemText(dialog, kWildcardBox, "");
    ClickButton(dialog, IDOK);
    SetDialogItemText(dialog, kPathEdit, "dir");
    SetDialogItemText(dialog, kWildcardBox, "*.tmp");
    ClickButton(dialog, IDOK);
    EXPECT_TRUE(IsStillOpen(dialog));
    PostMessageW(dialog, WM_CLOSE, 0, 0);
  });
  EXPECT_FALSE(confirmed);
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].request.text, "Please enter a valid wildcard!");
  EXPECT_EQ(ui.messages[0].request.caption, "File error");
  EXPECT_EQ(ui.messages[0].request.icon, MessageIcon::kExclamation);
  EXPECT_NE(ui.messages[0].owner, nullptr);
  EXPECT_NE(ui.messages[0].owner, owner.Handle());  // owned by the editor
  EXPECT_EQ(ui.messages[1].request.text,
            "Please enter a full path, beginning with a drive such as C:\\!");
  EXPECT_EQ(entry, (CleanEntry{1, "C:\\keep.me", "", 0}));
}

TEST_F(EntryEditorWindowTest, EveryFileWildcardAsksAndADeclineKeepsTheEditorOpen) {
  ui.answers = {MessageAnswer::kCancel, MessageAnswer::kOk};
  const auto typeEverything = [](HWND dialog) {
    TypeInto(dialog, kPathEdit, "C:\\TEMP");
    SetDialogItemText(dialog, kWildcardBox, "*.*");
    ClickButton(dialog, IDOK);
  };
  const bool declined = Run(EntryEditMode::kAdd, [&](HWND dialog) {
    typeEverything(dialog);
    EXPECT_TRUE(IsStillOpen(dialog));
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_FALSE(declined);
  EXPECT_EQ(entry, CleanEntry{});
  EXPECT_TRUE(Run(EntryEditMode::kAdd, typeEverything));
  ASSERT_EQ(ui.messages.size(), 2u);
  EXPECT_EQ(ui.messages[0].request.text, "This will delete ALL files under C:\\TEMP. Continue?");
  EXPECT_EQ(ui.messages[0].request.buttons, MessageButtons::kOkCancelDefaultCancel);
  EXPECT_EQ(entry, (CleanEntry{0, "C:\\TEMP", "*.*", 0}));
}

TEST_F(EntryEditorWindowTest, ClearLeavesWildcardModeWithEmptyEditsAndKeepsTheWildcard) {
  entry = {0, "C:\\d", "*.old", 1};
  Run(EntryEditMode::kEdit, [](HWND dialog) {
    TypeInto(dialog, kFileEdit, "C:\\f");
    ClickButton(dialog, kClearButton);
    EXPECT_EQ(ModeOf(dialog), (Mode{false, true}));
    EXPECT_EQ(DialogItemText(dialog, kFileEdit), "");
    EXPECT_EQ(DialogItemText(dialog, kPathEdit), "");
    EXPECT_FALSE(IsItemChecked(dialog, kRecurseBox));
    EXPECT_EQ(DialogItemText(dialog, kWildcardBox), "*.old");
    ClickButton(dialog, IDCANCEL);
  });
}

TEST_F(EntryEditorWindowTest, ChoosersFillTheirEditAndSwitchTheMode) {
  ui.chosenFile = "C:\\Users\\me\\Desktop\\old.lnk";
  ui.chosenDirectory = "D:\\caches";
  entry = {0, "C:\\typed", "*.tmp", 0};
  Run(EntryEditMode::kEdit, [](HWND dialog) {
    ClickButton(dialog, kBrowseFileButton);
    EXPECT_EQ(DialogItemText(dialog, kFileEdit), "C:\\Users\\me\\Desktop\\old.lnk");
    EXPECT_EQ(ModeOf(dialog), (Mode{true, false}));
    ClickButton(dialog, kBrowseDirButton);
    EXPECT_EQ(DialogItemText(dialog, kPathEdit), "D:\\caches");
    EXPECT_EQ(ModeOf(dialog), (Mode{false, true}));
    ClickButton(dialog, IDCANCEL);
  });
  ASSERT_EQ(ui.fileRequests.size(), 1u);
  EXPECT_EQ(ui.fileRequests[0].title, "Select file to delete");
  EXPECT_EQ(ui.fileRequests[0].filters.size(), 5u);
  ASSERT_EQ(ui.directoryRequests.size(), 1u);
  EXPECT_EQ(ui.directoryRequests[0], (std::pair<std::string, std::string>{
                                         "Choose directory to clean from...", "C:\\typed"}));
}

TEST_F(EntryEditorWindowTest, TheModeButtonsShowTheirWholeTextAboveTheGroupFrames) {
  Run(EntryEditMode::kAdd, [](HWND dialog) {
    for (int id : {kIndividualRadio, kWildcardRadio}) {
      HWND radio = GetDlgItem(dialog, id);
      HDC dc = GetDC(radio);
      SelectObject(dc, reinterpret_cast<HFONT>(SendMessageW(radio, WM_GETFONT, 0, 0)));
      const std::wstring text = WideFromNarrow(TextOf(radio));
      SIZE needed = {};
      GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &needed);
      ReleaseDC(radio, dc);
      RECT place = {};
      GetClientRect(radio, &place);
      EXPECT_GE(place.bottom, needed.cy) << TextOf(radio);
      EXPECT_GE(place.right, needed.cx + GetSystemMetrics(SM_CXMENUCHECK)) << TextOf(radio);
    }
    // The group boxes, drawn after the buttons, leave them alone.
    for (HWND child = GetWindow(dialog, GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      if ((style & BS_TYPEMASK) == BS_GROUPBOX && GetDlgCtrlID(child) < 0) {
        EXPECT_TRUE(style & WS_CLIPSIBLINGS);
      }
    }
    ClickButton(dialog, IDCANCEL);
  });
}

// F1 is left to the owner, which learns from the control it came from that
// the help's section on the editor is wanted.
std::string gHelpAskedFor;
LRESULT CALLBACK HelpRecordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
  if (message == WM_HELP)
    gHelpAskedFor =
        HelpSectionOf(static_cast<HWND>(reinterpret_cast<HELPINFO*>(lParam)->hItemHandle));
  return DefWindowProcW(window, message, wParam, lParam);
}

TEST_F(EntryEditorWindowTest, F1ReachesTheOwnerFromAWindowNamedForTheEditorsSection) {
  EXPECT_EQ(HelpSectionOf(owner.Handle()), "contents");
  SetWindowLongPtrW(owner.Handle(), GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(HelpRecordingProc));
  Run(EntryEditMode::kAdd, [](HWND dialog) {
    HWND edit = GetDlgItem(dialog, kFileEdit);
    HELPINFO info = {sizeof(HELPINFO), HELPINFO_WINDOW, kFileEdit, edit, 0, {0, 0}};
    SendMessageW(edit, WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    ClickButton(dialog, IDCANCEL);
  });
  EXPECT_EQ(gHelpAskedFor, "editor");
}

}  // namespace
