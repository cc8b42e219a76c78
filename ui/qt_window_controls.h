#pragma once

#include <map>
#include <string>
#include <utility>

#include "window/window_controls.h"

class QCheckBox;
class QLineEdit;

// The main window's check boxes, by their control numbers.
class QtCheckBoxes : public CheckBoxes {
 public:
  explicit QtCheckBoxes(std::map<ControlId, QCheckBox*> boxes) : boxes_(std::move(boxes)) {}
  int GetCheck(ControlId box) const override;
  void SetCheck(ControlId box, int state) override;
  void Enable(ControlId box, bool enabled) override;

 private:
  std::map<ControlId, QCheckBox*> boxes_;
};

// The read-only line at the bottom of the main window. The clean run has no
// event loop of its own, so Repaint draws the line on the spot.
class QtStatusLine : public StatusLine {
 public:
  explicit QtStatusLine(QLineEdit& line) : line_(line) {}
  void SetText(const std::string& text) override;
  void Repaint() override;

 private:
  QLineEdit& line_;
};

// The application-wide wait cursor; nested Begin and End pairs stack.
class QtWaitCursor : public WaitCursor {
 public:
  void Begin() override;
  void End() override;
};
