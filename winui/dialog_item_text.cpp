#include "winui/dialog_item_text.h"

#include "platform/win32/wide_text.h"

std::string DialogItemText(HWND dialog, int id) {
  HWND item = GetDlgItem(dialog, id);
  const int length = GetWindowTextLengthW(item);
  std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
  text.resize(static_cast<std::size_t>(GetWindowTextW(item, text.data(), length + 1)));
  return NarrowFromWide(text);
}

void SetDialogItemText(HWND dialog, int id, const std::string& text) {
  SetDlgItemTextW(dialog, id, WideFromNarrow(text).c_str());
}

bool IsItemChecked(HWND dialog, int id) { return IsDlgButtonChecked(dialog, id) == BST_CHECKED; }

void SetItemChecked(HWND dialog, int id, bool checked) {
  CheckDlgButton(dialog, id, checked ? BST_CHECKED : BST_UNCHECKED);
}
