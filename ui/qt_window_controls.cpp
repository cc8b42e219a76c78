#include "ui/qt_window_controls.h"

#include <QApplication>
#include <QCheckBox>
#include <QLineEdit>

#include "ui/narrow_text.h"

int QtCheckBoxes::GetCheck(ControlId box) const {
  auto found = boxes_.find(box);
  return found != boxes_.end() && found->second->isChecked() ? 1 : 0;
}

void QtCheckBoxes::SetCheck(ControlId box, int state) {
  auto found = boxes_.find(box);
  if (found != boxes_.end()) found->second->setChecked(state != 0);
}

void QtCheckBoxes::Enable(ControlId box, bool enabled) {
  auto found = boxes_.find(box);
  if (found != boxes_.end()) found->second->setEnabled(enabled);
}

void QtStatusLine::SetText(const std::string& text) { line_.setText(ToDisplayText(text)); }

void QtStatusLine::Repaint() { line_.repaint(); }

void QtWaitCursor::Begin() { QApplication::setOverrideCursor(Qt::WaitCursor); }

void QtWaitCursor::End() { QApplication::restoreOverrideCursor(); }
