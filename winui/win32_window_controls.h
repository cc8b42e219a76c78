#pragma once

#include "winui/windows_api.h"

#include <string>

#include "window/window_controls.h"

// The main window's check boxes, found by their control numbers in `dialog`.
class Win32CheckBoxes : public CheckBoxes {
 public:
  explicit Win32CheckBoxes(HWND dialog) : dialog_(dialog) {}
  int GetCheck(ControlId box) const override;
  void SetCheck(ControlId box, int state) override;
  void Enable(ControlId box, bool enabled) override;

 private:
  HWND dialog_;
};

// A read-only edit showing one line of progress. A clean run takes no
// messages while it works, so each new text is drawn at once.
class Win32StatusLine : public StatusLine {
 public:
  explicit Win32StatusLine(HWND edit) : edit_(edit) {}
  void SetText(const std::string& text) override;
  void Repaint() override;

 private:
  HWND edit_;
};

// The hourglass while the program works. Nested uses count; the window
// asks IsShown() when the system wants its cursor set, so that moving the
// mouse over it keeps the hourglass.
class Win32WaitCursor : public WaitCursor {
 public:
  void Begin() override;
  void End() override;
  bool IsShown() const { return depth_ > 0; }

 private:
  int depth_ = 0;
  HCURSOR before_ = nullptr;
};
