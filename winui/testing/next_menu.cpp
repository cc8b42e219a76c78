#include "winui/testing/next_menu.h"

#include "platform/win32/wide_text.h"

namespace {

struct PendingMenu {
  std::vector<std::string>* items = nullptr;
  wchar_t key = 0;
};

PendingMenu pending;

BOOL CALLBACK FindMenuWindow(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32768" || !IsWindowVisible(window)) return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

// Runs from the menu's own loop, which hands timer messages on.
void CALLBACK ActOnMenu(HWND, UINT, UINT_PTR timer, DWORD) {
  HWND menuWindow = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindMenuWindow, reinterpret_cast<LPARAM>(&menuWindow));
  if (!menuWindow || !pending.items) return;
  KillTimer(nullptr, timer);
  HMENU menu = reinterpret_cast<HMENU>(SendMessageW(menuWindow, MN_GETHMENU, 0, 0));
  for (int index = 0; index < GetMenuItemCount(menu); ++index) {
    wchar_t text[128] = {};
    GetMenuStringW(menu, static_cast<UINT>(index), text, 128, MF_BYPOSITION);
    pending.items->push_back(NarrowFromWide(text));
  }
  pending.items = nullptr;
  if (pending.key)
    PostMessageW(menuWindow, WM_CHAR, pending.key, 0);
  else
    EndMenu();
}

}  // namespace

void OnNextMenu(std::vector<std::string>& items, wchar_t key) {
  pending = PendingMenu{&items, key};
  SetTimer(nullptr, 0, 10, ActOnMenu);
}
