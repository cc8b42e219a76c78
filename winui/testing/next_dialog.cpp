#include "winui/testing/next_dialog.h"

#include <deque>
#include <set>
#include <string>

#include "platform/win32/wide_text.h"

namespace {

std::deque<std::function<void(HWND)>>& Pending() {
  static std::deque<std::function<void(HWND)>> pending;
  return pending;
}

// Dialogs that an action was already run on: a dialog that stays open
// after its action is not taken for the next one.
std::set<HWND>& Handled() {
  static std::set<HWND> handled;
  return handled;
}

// A modal window is a dialog-class window of this thread that has an owner
// (a message box or a dialog over a window) and takes input.
BOOL CALLBACK FindModal(HWND window, LPARAM found) {
  wchar_t name[16] = {};
  GetClassNameW(window, name, 16);
  if (std::wstring(name) != L"#32770" || !IsWindowEnabled(window) || !GetWindow(window, GW_OWNER) ||
      Handled().contains(window))
    return TRUE;
  *reinterpret_cast<HWND*>(found) = window;
  return FALSE;
}

void CALLBACK ActOnModal(HWND, UINT, UINT_PTR timer, DWORD) {
  if (Pending().empty()) {
    KillTimer(nullptr, timer);
    return;
  }
  HWND modal = nullptr;
  EnumThreadWindows(GetCurrentThreadId(), FindModal, reinterpret_cast<LPARAM>(&modal));
  if (!modal) return;
  std::function<void(HWND)> action = std::move(Pending().front());
  Pending().pop_front();
  Handled().insert(modal);
  action(modal);
}

}  // namespace

void OnNextDialog(std::function<void(HWND dialog)> action) {
  Pending().push_back(std::move(action));
  SetTimer(nullptr, 0, 10, ActOnModal);
}

int PendingDialogActions() { return static_cast<int>(Pending().size()); }

std::string TextOf(HWND window) {
  const int length = GetWindowTextLengthW(window);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(window, text.data(), length + 1)));
  return NarrowFromWide(text);
}

void ClickButton(HWND dialog, int id) { SendDlgItemMessageW(dialog, id, BM_CLICK, 0, 0); }
