#include "winui/main_menu_bar.h"

#include <string>

#include "platform/win32/wide_text.h"

namespace {

// The pop-up's items, each with its key: Enter and Esc act through the
// dialog, Del and F1 through the window's message loop.
HMENU BuildPopup(const MenuPopup& popup) {
  HMENU menu = CreatePopupMenu();
  for (const MenuItem& item : popup.items) {
    std::string text = item.text;
    if (const char* key = main_menu::KeyOf(item.command)) text += std::string("\t") + key;
    AppendMenuW(menu, MF_STRING, static_cast<UINT_PTR>(item.command), WideFromNarrow(text).c_str());
  }
  return menu;
}

}  // namespace

HMENU BuildMainMenuBar() {
  HMENU bar = CreateMenu();
  for (const MenuPopup& popup : main_menu::kPopups)
    AppendMenuW(bar, MF_POPUP, reinterpret_cast<UINT_PTR>(BuildPopup(popup)),
                WideFromNarrow(popup.text).c_str());
  return bar;
}

HMENU BuildEntryPopup() { return BuildPopup(main_menu::kPopups[main_menu::kEntryPopup]); }

HACCEL BuildMainAccelerators() {
  ACCEL keys[] = {
      {FVIRTKEY | FCONTROL, 'Q', static_cast<WORD>(MenuCommand::kExit)},
  };
  return CreateAcceleratorTableW(keys, static_cast<int>(std::size(keys)));
}
