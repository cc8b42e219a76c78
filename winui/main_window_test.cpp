#include "winui/main_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>
#include <shlobj.h>

#include <cstring>
#include <string>
#include <vector>

#include "platform/win32/wide_text.h"
#include "resources/main_window_template.h"
#include "winui/help_sections.h"
#include "winui/testing/main_window_rig.h"
#include "winui/testing/next_dialog.h"
#include "winui/testing/next_menu.h"

namespace {

namespace ids = main_window_template;

CleanEntry Individual(const std::string& path) { return CleanEntry{1, path, "", 0}; }

// The rows as the list shows them, top first: each row's three columns.
std::vector<std::vector<std::string>> Rows(MainWindowRig& rig) {
  ListViewControl list(rig.window->Control(ids::kEntryList));
  std::vector<std::vector<std::string>> rows;
  for (int row = 0; row < list.RowCount(); ++row)
    rows.push_back({*list.CellText(row, 0), *list.CellText(row, 1), *list.CellText(row, 2)});
  return rows;
}

void Select(MainWindowRig& rig, int row) {
  ListViewControl(rig.window->Control(ids::kEntryList)).Select(row);
}

void Add(MainWindowRig& rig, const std::string& path) {
  rig.windows.editorAnswer = [&](CleanEntry& entry) {
    entry = Individual(path);
    return true;
  };
  ClickButton(rig.window->Window(), ids::kAddButton);
}

// An HDROP as the shell hands one over: the names one after another, each
// ended by a NUL, and one more NUL at the end.
HGLOBAL MakeDrop(const std::vector<std::wstring>& names) {
  std::wstring list;
  for (const std::wstring& name : names) list += name + L'\0';
  list += L'\0';
  HGLOBAL memory = GlobalAlloc(GHND, sizeof(DROPFILES) + list.size() * sizeof(wchar_t));
  auto* drop = static_cast<DROPFILES*>(GlobalLock(memory));
  drop->pFiles = sizeof(DROPFILES);
  drop->fWide = TRUE;
  std::memcpy(reinterpret_cast<char*>(drop) + sizeof(DROPFILES), list.data(),
              list.size() * sizeof(wchar_t));
  GlobalUnlock(memory);
  return memory;
}

TEST(Win32MainWindow, StartsAsATopLevelWindowWithItsMenuAndTheEntryButtonsOff) {
  MainWindowRig rig;
  rig.Start();
  HWND window = rig.window->Window();
  ASSERT_NE(window, nullptr);
  EXPECT_EQ(TextOf(window), "Dustral 95");
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_APPWINDOW);
  EXPECT_TRUE(GetWindowLongW(window, GWL_EXSTYLE) & WS_EX_ACCEPTFILES);
  EXPECT_EQ(GetWindow(window, GW_OWNER), nullptr);
  for (int id : {ids::kEditButton, ids::kDeleteButton, ids::kCopyButton})
    EXPECT_FALSE(IsWindowEnabled(rig.window->Control(id))) << id;
  EXPECT_TRUE(IsWindowEnabled(rig.window->Control(ids::kAddButton)));

  HMENU bar = GetMenu(window);
  ASSERT_EQ(GetMenuItemCount(bar), 3);
  wchar_t text[64] = {};
  GetMenuStringW(bar, 1, text, 64, MF_BYPOSITION);
  EXPECT_EQ(NarrowFromWide(text), "&Entry");
  EXPECT_EQ(GetMenuItemID(GetSubMenu(bar, 1), 2), static_cast<UINT>(MenuCommand::kModifyEntry));

  // The whole template shows below the menu bar.
  RECT client{};
  GetClientRect(window, &client);
  RECT wanted{0, 0, ids::kTemplate.width, ids::kTemplate.height};
  MapDialogRect(window, &wanted);
  EXPECT_EQ(client.bottom, wanted.bottom);
  EXPECT_EQ(client.right, wanted.right);

  ListViewControl list(rig.window->Control(ids::kEntryList));
  EXPECT_EQ(list.ColumnWidth(0), 300);
  const LONG style = GetWindowLongW(list.Window(), GWL_STYLE);
  EXPECT_EQ(style & (LVS_TYPEMASK | LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHOWSELALWAYS),
            LVS_REPORT | LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHOWSELALWAYS);
}

// Without the environment nothing is found: the boxes are off, and each
// says why where the mouse can reach it.
TEST(Win32MainWindow, EachCategoryBoxHasItsTipAlsoWhenSwitchedOff) {
  MainWindowRig rig;
  rig.Start();
  ASSERT_EQ(SendMessageW(rig.window->BoxTips(), TTM_GETTOOLCOUNT, 0, 0), 6);
  HWND temp = rig.window->Control(ids::kTempBox);
  ASSERT_FALSE(IsWindowEnabled(temp));
  wchar_t text[512] = {};
  TTTOOLINFOW tool{};
  tool.cbSize = sizeof tool;
  tool.hwnd = rig.window->Window();
  tool.uId = ids::kTempBox;
  tool.lpszText = text;
  SendMessageW(rig.window->BoxTips(), TTM_GETTEXTW, 512, reinterpret_cast<LPARAM>(&tool));
  const std::string tip = NarrowFromWide(text);
  EXPECT_FALSE(tip.empty());
  EXPECT_EQ(tip, rig.window->Session().BoxTip(ControlId::kTempBox));
}

TEST(Win32MainWindow, AClickInTheListEnablesTheEntryButtonsForGood) {
  MainWindowRig rig;
  rig.Start();
  rig.Notify(NM_CLICK);
  for (int id : {ids::kEditButton, ids::kDeleteButton, ids::kCopyButton})
    EXPECT_TRUE(IsWindowEnabled(rig.window->Control(id))) << id;
}

TEST(Win32MainWindow, AddEditCopyAndDeleteChangeTheRowsThroughTheEditorOverTheWindow) {
  MainWindowRig rig;
  rig.Start();
  Add(rig, "C:\\a.tmp");
  Add(rig, "C:\\b.tmp");
  Add(rig, "C:\\c.tmp");
  EXPECT_EQ(rig.windows.opened.size(), 3u);
  EXPECT_EQ(rig.windows.opened[0].owner, rig.window->Window());
  EXPECT_EQ(rig.windows.editorModes[0], EntryEditMode::kAdd);

  // The edited second row goes to the top, as a wildcard entry.
  Select(rig, 1);
  rig.windows.editorAnswer = [](CleanEntry& entry) {
    entry = CleanEntry{0, "C:\\temp", "*.tmp", 1};
    return true;
  };
  rig.Notify(NM_DBLCLK);
  EXPECT_EQ(rig.windows.editorModes.back(), EntryEditMode::kEdit);
  using Row = std::vector<std::string>;
  EXPECT_EQ(Rows(rig),
            (std::vector<Row>{
                {"C:\\temp", "*.tmp", "Yes"}, {"C:\\c.tmp", "", ""}, {"C:\\a.tmp", "", ""}}));

  // Copy keeps the row it was copied from; Delete takes the selected row.
  Select(rig, 2);
  rig.windows.editorAnswer = [](CleanEntry&) { return true; };
  SendMessageW(rig.window->Window(), WM_COMMAND, static_cast<WPARAM>(MenuCommand::kCopyEntry), 0);
  ASSERT_EQ(Rows(rig).size(), 4u);
  EXPECT_EQ(Rows(rig)[0], (Row{"C:\\a.tmp", "", ""}));
  Select(rig, 1);
  rig.PressKey(rig.window->Control(ids::kEntryList), VK_DELETE);
  EXPECT_EQ(Rows(rig).size(), 3u);
  EXPECT_EQ(Rows(rig)[1], (Row{"C:\\c.tmp", "", ""}));
  EXPECT_TRUE(rig.ui.messages.empty());
}

TEST(Win32MainWindow, WithoutASelectionTheEntryCommandsSayWhyOverTheWindow) {
  MainWindowRig rig;
  rig.Start();
  SendMessageW(rig.window->Window(), WM_COMMAND, ids::kEditButton, 0);
  SendMessageW(rig.window->Window(), WM_COMMAND, ids::kDeleteButton, 0);
  ASSERT_EQ(rig.ui.messages.size(), 2u);
  const MessageRequest& noItem = rig.ui.messages[0].request;
  EXPECT_EQ(noItem.text, "No item specified!");
  EXPECT_EQ(noItem.caption, kRigApplicationName);
  EXPECT_EQ(noItem.icon, MessageIcon::kNone);
  const MessageRequest& notDeleted = rig.ui.messages[1].request;
  EXPECT_EQ(notDeleted.text, "Couldn't delete entry!");
  EXPECT_EQ(notDeleted.caption, "Error");
  EXPECT_EQ(notDeleted.icon, MessageIcon::kStop);
  EXPECT_EQ(rig.ui.messages[0].owner, rig.window->Window());
  EXPECT_TRUE(rig.windows.opened.empty());
}

TEST(Win32MainWindow, DroppedNamesBecomeIndividualEntriesLastOnTopAndWhole) {
  MainWindowRig rig;
  rig.Start();
  const std::wstring longName = L"C:\\" + std::wstring(300, L'x') + L"\\\u00e9t\u00e9.txt";
  SendMessageW(rig.window->Window(), WM_DROPFILES,
               reinterpret_cast<WPARAM>(MakeDrop({L"C:\\x", L"C:\\folder", longName})), 0);
  using Row = std::vector<std::string>;
  EXPECT_EQ(Rows(rig),
            (std::vector<Row>{
                {NarrowFromWide(longName), "", ""}, {"C:\\folder", "", ""}, {"C:\\x", "", ""}}));
}

// Enter and Esc in the edit end the edit through the window's own loop:
// neither cleans nor leaves.
TEST(Win32MainWindow, AnInPlaceEditSetsThePathAndACancelledOneLeavesIt) {
  MainWindowRig rig;
  rig.registry.Store("Default Settings", "Auto-run EXE", RegistryValue::Dword(1));
  rig.registry.Store("Default Settings", "Exe to run", RegistryValue::String("C:\\after.exe"));
  rig.Start();
  rig.windows.editorAnswer = [](CleanEntry& entry) {
    entry = CleanEntry{0, "C:\\old", "*.tmp", 0};
    return true;
  };
  ClickButton(rig.window->Window(), ids::kAddButton);
  HWND list = rig.window->Control(ids::kEntryList);

  for (const bool confirm : {false, true}) {
    SetFocus(list);
    HWND edit = reinterpret_cast<HWND>(SendMessageW(list, LVM_EDITLABELW, 0, 0));
    ASSERT_NE(edit, nullptr);
    SetWindowTextW(edit, L"C:\\new");
    rig.PressKey(edit, confirm ? VK_RETURN : VK_ESCAPE);
    using Row = std::vector<std::string>;
    EXPECT_EQ(Rows(rig)[0], (Row{confirm ? "C:\\new" : "C:\\old", "*.tmp", "No"})) << confirm;
  }
  EXPECT_FALSE(rig.window->HasEnded());
  EXPECT_TRUE(rig.launcher.opened.empty());
}

TEST(Win32MainWindow, EnterCleansExceptInTheListWhereItOpensTheSelectedRow) {
  MainWindowRig rig;
  rig.registry.Store("Default Settings", "Auto-run EXE", RegistryValue::Dword(1));
  rig.registry.Store("Default Settings", "Exe to run", RegistryValue::String("C:\\after.exe"));
  rig.Start();
  // The auto-run program shows that a clean ran.
  rig.PressKey(rig.window->Control(ids::kRecentBox), VK_RETURN);
  EXPECT_EQ(rig.launcher.opened.size(), 1u);

  HWND list = rig.window->Control(ids::kEntryList);
  rig.PressKey(list, VK_RETURN);
  EXPECT_TRUE(rig.windows.opened.empty());
  Add(rig, "C:\\a.tmp");
  Select(rig, 0);
  rig.windows.editorAnswer = [](CleanEntry&) { return false; };
  rig.PressKey(list, VK_RETURN);
  EXPECT_EQ(rig.windows.opened.size(), 2u);
  EXPECT_EQ(rig.launcher.opened.size(), 1u);

  // A push button with the focus is pressed instead.
  rig.PressKey(rig.window->Control(ids::kAddButton), VK_RETURN);
  EXPECT_EQ(rig.windows.opened.size(), 3u);
  EXPECT_EQ(rig.launcher.opened.size(), 1u);
}

TEST(Win32MainWindow, EveryWayOfLeavingSavesOnceAndEndsTheWindow) {
  const std::function<void(MainWindowRig&)> ways[] = {
      [](MainWindowRig& rig) { rig.PressKey(rig.window->Control(ids::kRecentBox), VK_ESCAPE); },
      [](MainWindowRig& rig) { SendMessageW(rig.window->Window(), WM_CLOSE, 0, 0); },
      [](MainWindowRig& rig) { ClickButton(rig.window->Window(), ids::kExitButton); },
      [](MainWindowRig& rig) {
        SendMessageW(rig.window->Window(), WM_COMMAND, static_cast<WPARAM>(MenuCommand::kExit), 0);
      },
      [](MainWindowRig& rig) {
        BYTE keys[256] = {};
        GetKeyboardState(keys);
        keys[VK_CONTROL] = 0x80;
        SetKeyboardState(keys);
        rig.PressKey(rig.window->Control(ids::kRecentBox), 'Q');
        keys[VK_CONTROL] = 0;
        SetKeyboardState(keys);
      },
  };
  int way = 0;
  for (const auto& leave : ways) {
    SCOPED_TRACE(way++);
    MainWindowRig rig;
    rig.Start();
    CheckDlgButton(rig.window->Window(), ids::kTempBox, BST_CHECKED);
    leave(rig);
    EXPECT_TRUE(rig.window->HasEnded());
    EXPECT_FALSE(IsWindowVisible(rig.window->Window()));
    EXPECT_EQ(rig.registry.batches, 1);
    EXPECT_EQ(rig.registry.Stored("Default Settings", "Temp Clear"), RegistryValue::Dword(1));
    EXPECT_TRUE(rig.ui.messages.empty());
  }
}

TEST(Win32MainWindow, AutoCleanWithQuitEndsDuringStartUpUnlessTheCommandLineSaysNot) {
  for (const bool allowed : {true, false}) {
    SCOPED_TRACE(allowed);
    MainWindowRig rig;
    rig.registry.Store("Default Settings", "Auto-clean", RegistryValue::Dword(1));
    rig.registry.Store("Default Settings", "Quit after cleaning", RegistryValue::Dword(1));
    rig.Start(allowed);
    EXPECT_EQ(rig.window->HasEnded(), allowed);
    EXPECT_EQ(IsWindowVisible(rig.window->Window()) != FALSE, !allowed);
  }
}

TEST(Win32MainWindow, MenuCommandsAndF1OpenTheirWindowsOverTheMainWindow) {
  MainWindowRig rig;
  rig.Start();
  HWND window = rig.window->Window();
  for (MenuCommand command : {MenuCommand::kOptions, MenuCommand::kPreview, MenuCommand::kAbout,
                              MenuCommand::kHelpContents})
    SendMessageW(window, WM_COMMAND, static_cast<WPARAM>(command), 0);
  rig.PressKey(rig.window->Control(ids::kRecentBox), VK_F1);
  BYTE keys[256] = {};
  GetKeyboardState(keys);
  keys[VK_CONTROL] = 0x80;
  SetKeyboardState(keys);
  rig.PressKey(rig.window->Control(ids::kRecentBox), VK_F1);  // Ctrl+F1: nothing
  keys[VK_CONTROL] = 0;
  SetKeyboardState(keys);

  std::vector<std::string> opened;
  for (const auto& each : rig.windows.opened) {
    opened.push_back(each.what);
    EXPECT_EQ(each.owner, window);
  }
  EXPECT_EQ(opened, (std::vector<std::string>{"options", "preview", "about", "help", "help"}));
}

// F1 in a dialog over the window reaches the window, which opens the help
// at that dialog's section.
TEST(Win32MainWindow, F1InADialogOverTheWindowOpensTheHelpAtItsSection) {
  MainWindowRig rig;
  rig.Start();
  rig.windows.editorAnswer = [&](CleanEntry&) {
    HWND dialog = CreateWindowExW(0, L"STATIC", L"editor", WS_POPUP, 0, 0, 10, 10,
                                  rig.window->Window(), nullptr, nullptr, nullptr);
    MarkHelpSection(dialog, "editor");
    HELPINFO info{sizeof info, HELPINFO_WINDOW, 0, dialog, 0, {}};
    SendMessageW(rig.window->Window(), WM_HELP, 0, reinterpret_cast<LPARAM>(&info));
    UnmarkHelpSection(dialog);
    DestroyWindow(dialog);
    return false;
  };
  ClickButton(rig.window->Window(), ids::kAddButton);
  ASSERT_EQ(rig.windows.opened.size(), 2u);
  EXPECT_EQ(rig.windows.opened[1].what, "help at editor");
  EXPECT_EQ(rig.windows.opened[1].owner, rig.window->Window());
}

TEST(Win32MainWindow, ARightClickOpensTheEntryMenuWhoseItemsActAsTheirCommands) {
  MainWindowRig rig;
  rig.Start();
  std::vector<std::string> items;
  OnNextMenu(items, L'a');
  rig.windows.editorAnswer = [](CleanEntry& entry) {
    entry = Individual("C:\\from-menu");
    return true;
  };
  rig.Notify(NM_RCLICK);
  EXPECT_EQ(items, (std::vector<std::string>{"&Add...", "&Copy...", "&Modify...", "&Delete\tDel"}));
  ASSERT_EQ(Rows(rig).size(), 1u);
  EXPECT_EQ(Rows(rig)[0][0], "C:\\from-menu");
}

}  // namespace
