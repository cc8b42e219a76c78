#include "winui/preview_window.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>
#include <vector>

#include "engine/testing/fake_platform.h"
#include "platform/win32/wide_text.h"
#include "platform/win32/win32_file_system.h"
#include "resources/preview_window_template.h"
#include "testing/scoped_test_home.h"
#include "window/memory_controls.h"
#include "winui/testing/next_dialog.h"

namespace {

namespace tpl = preview_window_template;

class NoMessages : public Win32UiServices {
 public:
  MessageAnswer ShowMessage(HWND, const MessageRequest& request) override {
    shown.push_back(request.text);
    return MessageAnswer::kOk;
  }
  std::optional<std::string> ChooseFile(HWND, const FileChooserRequest&) override { return {}; }
  std::optional<std::string> ChooseDirectory(HWND, const std::string&,
                                             const std::string&) override {
    return {};
  }
  std::vector<std::string> shown;
};

class CountingCursor : public WaitCursor {
 public:
  void Begin() override { ++begun; }
  void End() override { ++ended; }
  int begun = 0, ended = 0;
};

// The window the preview opens over.
class Owner {
 public:
  Owner()
      : window_(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 100,
                                nullptr, nullptr, nullptr, nullptr)) {}
  ~Owner() { DestroyWindow(window_); }
  HWND get() const { return window_; }

 private:
  HWND window_;
};

std::string ItemText(HWND list, int row, int column) {
  wchar_t text[1024] = {};
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = text;
  item.cchTextMax = 1024;
  SendMessageW(list, LVM_GETITEMTEXTW, row, reinterpret_cast<LPARAM>(&item));
  return NarrowFromWide(text);
}

std::string GroupHeading(HWND list, int group) {
  wchar_t text[1024] = {};
  LVGROUP info{};
  info.cbSize = sizeof(info);
  info.mask = LVGF_HEADER;
  info.pszHeader = text;
  info.cchHeader = 1024;
  SendMessageW(list, LVM_GETGROUPINFO, group, reinterpret_cast<LPARAM>(&info));
  return NarrowFromWide(text);
}

int GroupOf(HWND list, int row) {
  LVITEMW item{};
  item.mask = LVIF_GROUPID;
  item.iItem = row;
  SendMessageW(list, LVM_GETITEMW, 0, reinterpret_cast<LPARAM>(&item));
  return item.iGroupId;
}

// The list as shown: each group's heading, then its files as
// "path|size|kept". Where the list can't group, the headings are rows.
std::vector<std::string> Rows(HWND dialog) {
  HWND list = GetDlgItem(dialog, tpl::kFiles);
  const bool grouped = SendMessageW(list, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
  std::vector<std::string> rows;
  int group = -1;
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row) {
    if (grouped && GroupOf(list, row) != group)
      rows.push_back(GroupHeading(list, group = GroupOf(list, row)));
    const std::string size = ItemText(list, row, 1), kept = ItemText(list, row, 2);
    rows.push_back(ItemText(list, row, 0) +
                   (size.empty() && kept.empty() ? "" : "|" + size + "|" + kept));
  }
  return rows;
}

// A native path: the engine's separators as Windows writes them.
std::string Native(std::string path) {
  std::replace(path.begin(), path.end(), '/', '\\');
  return path;
}

int RowOf(HWND dialog, const std::string& text) {
  HWND list = GetDlgItem(dialog, tpl::kFiles);
  const auto count = static_cast<int>(SendMessageW(list, LVM_GETITEMCOUNT, 0, 0));
  for (int row = 0; row < count; ++row)
    if (ItemText(list, row, 0) == text) return row;
  return -1;
}

// A click on a column's header, as the list tells its window of it.
void ClickColumn(HWND dialog, int column) {
  NMLISTVIEW click{};
  click.hdr.hwndFrom = GetDlgItem(dialog, tpl::kFiles);
  click.hdr.idFrom = tpl::kFiles;
  click.hdr.code = LVN_COLUMNCLICK;
  click.iItem = -1;
  click.iSubItem = column;
  SendMessageW(dialog, WM_NOTIFY, tpl::kFiles, reinterpret_cast<LPARAM>(&click));
}

void SelectRow(HWND dialog, int row) {
  LVITEMW state{};
  state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendDlgItemMessageW(dialog, tpl::kFiles, LVM_SETITEMSTATE, row, reinterpret_cast<LPARAM>(&state));
}

// Whether the control is shown (its window may not be yet).
bool Shown(HWND dialog, int id) {
  return (GetWindowLongW(GetDlgItem(dialog, id), GWL_STYLE) & WS_VISIBLE) != 0;
}

std::string Text(HWND dialog, int id) { return TextOf(GetDlgItem(dialog, id)); }

struct Rig {
  Owner owner;
  FakeProgramLauncher launcher;
  CountingCursor cursor;
  NoMessages ui;
};

TEST(PreviewWindow, ListsThePlanInGroupsWithTotalsSortsFiltersAndCloseDeletesNothing) {
  ScopedTestHome home;
  const std::string junk = home.Path("junk");
  WriteTestFile(junk + "/b-big", std::string(30, 'b'));
  WriteTestFile(junk + "/a-small", "a");
  WriteTestFile(junk + "/hidden", "hh");
  ASSERT_TRUE(SetFileAttributesW(WideFromNarrow(junk + "/hidden").c_str(), FILE_ATTRIBUTE_HIDDEN));
  Win32FileSystem files;
  const CleanLocations locations;
  const CleanSelection selection{{}, locations, {{0, junk, "*", 0}}};
  Rig rig;
  bool shown = false;
  OnNextDialog([&](HWND dialog) {
    shown = true;
    EXPECT_EQ(TextOf(dialog), "Dustral Preview");
    EXPECT_EQ(GetWindow(dialog, GW_OWNER), rig.owner.get());
    EXPECT_EQ(Text(dialog, tpl::kSummary),
              "2 files would be deleted, freeing 31 bytes. 1 file would be left alone: 1 hidden.");
    ClickColumn(dialog, 0);
    EXPECT_EQ(Rows(dialog), (std::vector<std::string>{
                                junk + " (*): 2 files to delete (31 bytes), 1 left alone",
                                "a-small|1 byte|",
                                "b-big|30 bytes|",
                                "hidden|2 bytes|hidden",
                            }));
    ClickColumn(dialog, 1);
    EXPECT_EQ(RowOf(dialog, "a-small") + 1, RowOf(dialog, "hidden"));
    ClickColumn(dialog, 1);
    EXPECT_EQ(RowOf(dialog, "b-big") + 1, RowOf(dialog, "hidden"));

    EXPECT_FALSE(Shown(dialog, tpl::kFilterNote));
    SetDlgItemTextW(dialog, tpl::kFilter, L" SMALL ");
    EXPECT_EQ(Rows(dialog), (std::vector<std::string>{
                                junk + " (*): 2 files to delete (31 bytes), 1 left alone; 1 of "
                                       "them shown",
                                "a-small|1 byte|",
                            }));
    EXPECT_TRUE(Shown(dialog, tpl::kFilterNote));
    EXPECT_EQ(Text(dialog, tpl::kFilterNote).rfind("Showing 1 of 3 files.", 0), 0u);
    ClickButton(dialog, tpl::kClose);
  });
  RunPreviewWindow(rig.owner.get(), GatherCleanPlan(selection, CleanSettings(), files, true),
                   CleanSettings(), files, rig.launcher, rig.cursor, rig.ui);
  EXPECT_TRUE(shown);
  for (const char* name : {"/a-small", "/b-big", "/hidden"})
    EXPECT_TRUE(std::filesystem::exists(junk + name)) << name;
  EXPECT_EQ(rig.cursor.begun, 0);
}

TEST(PreviewWindow, CleanDeletesOnlyTheListedFilesThatStayedTheSameAndListsTheFailures) {
  ScopedTestHome home;
  const std::string junk = home.Path("junk");
  for (const char* name : {"/one", "/two", "/changed", "/held"}) WriteTestFile(junk + name, "same");
  Win32FileSystem files;
  const CleanLocations locations;
  const CleanSelection selection{{}, locations, {{0, junk, "*", 0}}};
  CleanPlan plan = GatherCleanPlan(selection, CleanSettings(), files, true);
  Rig rig;
  OnNextDialog([&](HWND dialog) {
    WriteTestFile(junk + "/new", "new");
    WriteTestFile(junk + "/changed", "grown since");
    // Open without leave to delete it, as a program holding it would.
    HANDLE held = CreateFileW(WideFromNarrow(junk + "/held").c_str(), GENERIC_READ, FILE_SHARE_READ,
                              nullptr, OPEN_EXISTING, 0, nullptr);
    ClickButton(dialog, tpl::kClean);
    CloseHandle(held);
    EXPECT_EQ(Text(dialog, tpl::kSummary),
              "Deleted 2 files, freeing 8 bytes.\r\nNot deleted because they changed or appeared "
              "after the preview: 1.\r\nCould not be deleted: 1 (listed below, each with the "
              "reason).");
    EXPECT_EQ(Rows(dialog).front(),
              junk + " (*): 2 files deleted (8 bytes), 1 left alone, 1 failed");
    EXPECT_TRUE(Shown(dialog, tpl::kFailures));
    ASSERT_EQ(SendDlgItemMessageW(dialog, tpl::kFailures, LB_GETCOUNT, 0, 0), 1);
    wchar_t failure[1024] = {};
    SendDlgItemMessageW(dialog, tpl::kFailures, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(failure));
    EXPECT_EQ(NarrowFromWide(failure).rfind(Native(junk + "/held") + ": ", 0), 0u)
        << NarrowFromWide(failure);
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(dialog, tpl::kClean)));
    EXPECT_EQ(LOWORD(SendMessageW(dialog, DM_GETDEFID, 0, 0)), tpl::kClose);
    ClickButton(dialog, tpl::kClose);
  });
  RunPreviewWindow(rig.owner.get(), std::move(plan), CleanSettings(), files, rig.launcher,
                   rig.cursor, rig.ui);
  EXPECT_EQ(PendingDialogActions(), 0);
  EXPECT_EQ(rig.cursor.begun, 1);
  EXPECT_EQ(rig.cursor.ended, 1);
  EXPECT_FALSE(std::filesystem::exists(junk + "/one"));
  EXPECT_FALSE(std::filesystem::exists(junk + "/two"));
  EXPECT_TRUE(std::filesystem::exists(junk + "/new"));
  EXPECT_TRUE(std::filesystem::exists(junk + "/changed"));
  EXPECT_TRUE(std::filesystem::exists(junk + "/held"));
}

RECT PlaceOf(HWND dialog, int id) {
  RECT place{};
  GetWindowRect(GetDlgItem(dialog, id), &place);
  MapWindowPoints(nullptr, dialog, reinterpret_cast<POINT*>(&place), 2);
  return place;
}

TEST(PreviewWindow, TheListGrowsWithTheWindowAndTheButtonsKeepToTheCorner) {
  ScopedTestHome home;
  Win32FileSystem files;
  const CleanLocations locations;
  const CleanSelection selection{{}, locations, {{0, home.Path("junk"), "*", 0}}};
  Rig rig;
  OnNextDialog([&](HWND dialog) {
    const RECT list = PlaceOf(dialog, tpl::kFiles), close = PlaceOf(dialog, tpl::kClose);
    const auto fileColumn = [dialog] {
      return SendDlgItemMessageW(dialog, tpl::kFiles, LVM_GETCOLUMNWIDTH, 0, 0);
    };
    const LRESULT fileWidth = fileColumn();
    RECT window{};
    GetWindowRect(dialog, &window);
    SetWindowPos(dialog, nullptr, 0, 0, window.right - window.left + 100,
                 window.bottom - window.top + 50, SWP_NOMOVE | SWP_NOZORDER);
    const RECT grown = PlaceOf(dialog, tpl::kFiles), moved = PlaceOf(dialog, tpl::kClose);
    EXPECT_EQ(grown.right - grown.left, list.right - list.left + 100);
    EXPECT_EQ(grown.bottom - grown.top, list.bottom - list.top + 50);
    EXPECT_EQ(moved.left, close.left + 100);
    EXPECT_EQ(moved.top, close.top + 50);
    EXPECT_EQ(fileColumn(), fileWidth + 100);
    // Never smaller than it opened.
    SetWindowPos(dialog, nullptr, 0, 0, 50, 50, SWP_NOMOVE | SWP_NOZORDER);
    GetWindowRect(dialog, &window);
    EXPECT_GT(window.right - window.left, 50);
    ClickButton(dialog, tpl::kClose);
  });
  RunPreviewWindow(rig.owner.get(), GatherCleanPlan(selection, CleanSettings(), files, true),
                   CleanSettings(), files, rig.launcher, rig.cursor, rig.ui);
}

TEST(PreviewWindow, RowMenuOpensTheFolderAndCopiesThePath) {
  ScopedTestHome home;
  const std::string junk = home.Path("junk");
  WriteTestFile(junk + "/sub/deep.tmp");
  WriteTestFile(junk + "/single.tmp");
  Win32FileSystem files;
  const CleanLocations locations;
  const CleanSelection selection{
      {}, locations, {{0, junk + "/sub", "*", 0}, {1, Native(junk + "/single.tmp"), "", 0}}};
  Rig rig;
  std::string copied;
  OnNextDialog([&](HWND dialog) {
    SendMessageW(dialog, WM_COMMAND, kOpenContainingFolderCommand, 0);  // nothing selected
    SelectRow(dialog, RowOf(dialog, "deep.tmp"));
    SendMessageW(dialog, WM_COMMAND, kOpenContainingFolderCommand, 0);
    SendMessageW(dialog, WM_COMMAND, kCopyPathCommand, 0);
    if (OpenClipboard(dialog)) {
      if (HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        copied = NarrowFromWide(static_cast<const wchar_t*>(GlobalLock(data)));
        GlobalUnlock(data);
      }
      CloseClipboard();
    }
    // An entry naming one file, written with the system's own separators.
    SelectRow(dialog, RowOf(dialog, "single.tmp"));
    SendMessageW(dialog, WM_COMMAND, kOpenContainingFolderCommand, 0);
    ClickButton(dialog, tpl::kClose);
  });
  RunPreviewWindow(rig.owner.get(), GatherCleanPlan(selection, CleanSettings(), files, true),
                   CleanSettings(), files, rig.launcher, rig.cursor, rig.ui);
  EXPECT_EQ(rig.launcher.opened, (std::vector<std::string>{Native(junk + "/sub"), Native(junk)}));
  EXPECT_EQ(copied, Native(junk + "/sub/deep.tmp"));
  EXPECT_TRUE(std::filesystem::exists(junk + "/sub/deep.tmp"));
}

}  // namespace
