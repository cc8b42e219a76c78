#include "winui/win32_window_controls.h"

#include "platform/win32/wide_text.h"

int Win32CheckBoxes::GetCheck(ControlId box) const {
  return IsDlgButtonChecked(dialog_, static_cast<int>(box)) == BST_CHECKED ? 1 : 0;
}

void Win32CheckBoxes::SetCheck(ControlId box, int state) {
  CheckDlgButton(dialog_, static_cast<int>(box), state != 0 ? BST_CHECKED : BST_UNCHECKED);
}

void Win32CheckBoxes::Enable(ControlId box, bool enabled) {
  EnableWindow(GetDlgItem(dialog_, static_cast<int>(box)), enabled ? TRUE : FALSE);
}

void Win32StatusLine::SetText(const std::string& text) {
  SetWindowTextW(edit_, WideFromNarrow(text).c_str());
}

void Win32StatusLine::Repaint() { UpdateWindow(edit_); }

void Win32WaitCursor::Begin() {
  if (depth_++ == 0) before_ = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
}

void Win32WaitCursor::End() {
  if (depth_ == 0) return;
  if (--depth_ == 0) SetCursor(before_ ? before_ : LoadCursorW(nullptr, IDC_ARROW));
}
