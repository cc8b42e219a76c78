#include "winui/dialog_from_template.h"

#include <commctrl.h>
#include <gtest/gtest.h>

#include <string>

#include "platform/win32/wide_text.h"
#include "resources/about_template.h"
#include "resources/entry_dialog_template.h"
#include "resources/main_window_template.h"
#include "resources/options_dialog_template.h"

namespace {

INT_PTR CALLBACK AcceptEverything(HWND, UINT message, WPARAM, LPARAM) {
  return message == WM_INITDIALOG ? TRUE : FALSE;
}

std::string WindowText(HWND window) {
  wchar_t text[512] = {};
  GetWindowTextW(window, text, 512);
  return NarrowFromWide(text);
}

std::wstring ClassName(HWND window) {
  wchar_t name[64] = {};
  GetClassNameW(window, name, 64);
  return name;
}

const ProvidedControl kEntryListView[] = {
    {main_window_template::kEntryList, WC_LISTVIEWW, LVS_REPORT | LVS_SINGLESEL}};

struct Case {
  const char* name;
  const DialogTemplate& dialog;
  DialogFrame frame;
  std::span<const ProvidedControl> provided;
};

// Every template opens as a window whose controls carry the template's
// identifiers, texts and classes, placed in dialog units.
TEST(DialogFromTemplate, EveryTemplateOpensWithItsControlsWhereTheTemplateSays) {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
  ASSERT_TRUE(InitCommonControlsEx(&classes));
  const Case cases[] = {
      {"main window", main_window_template::kTemplate, DialogFrame::kMainWindow, kEntryListView},
      {"entry", entry_dialog::kTemplate, DialogFrame::kModal, {}},
      {"options", options_dialog::kTemplate, DialogFrame::kModal, {}},
      {"about", about_template::kTemplate, DialogFrame::kModal, {}},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const std::vector<std::uint32_t> built = BuildDialogTemplate(c.dialog, c.frame, c.provided);
    HWND window = CreateDialogIndirectParamW(GetModuleHandleW(nullptr), AsDialogTemplate(built),
                                             nullptr, AcceptEverything, 0);
    ASSERT_NE(window, nullptr) << GetLastError();
    EXPECT_EQ(WindowText(window), c.dialog.caption);
    for (const DialogControl& control : c.dialog.controls) {
      if (control.id == kUnnamedControl) continue;
      SCOPED_TRACE(control.id);
      HWND child = GetDlgItem(window, control.id);
      ASSERT_NE(child, nullptr);
      RECT expected{control.x, control.y, control.x + control.width, control.y + control.height};
      MapDialogRect(window, &expected);
      RECT placed{};
      GetWindowRect(child, &placed);
      MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&placed), 2);
      EXPECT_EQ(placed.left, expected.left);
      EXPECT_EQ(placed.top, expected.top);
      if (control.kind == ControlKind::kPlaceholder) {
        EXPECT_EQ(ClassName(child), WC_LISTVIEWW);
        continue;
      }
      if (control.kind == ControlKind::kComboBox || control.kind == ControlKind::kEdit) continue;
      EXPECT_EQ(WindowText(child), control.text);
      const LONG style = GetWindowLongW(child, GWL_STYLE);
      EXPECT_EQ((style & WS_TABSTOP) != 0, (control.styles & control_style::kTabStop) != 0);
      if (control.styles & control_style::kDefaultButton) {
        EXPECT_EQ(style & BS_TYPEMASK, BS_DEFPUSHBUTTON);
      }
    }
    const LONG exStyle = GetWindowLongW(window, GWL_EXSTYLE);
    EXPECT_EQ((exStyle & WS_EX_APPWINDOW) != 0, c.frame == DialogFrame::kMainWindow);
    DestroyWindow(window);
  }
}

}  // namespace
