#pragma once

#include <QApplication>
#include <QList>
#include <QStringList>
#include <QTest>
#include <QWidget>

#include "ui/dialog_layout.h"

// The widget of control `id` in a dialog built from a template.
template <class Widget>
Widget* ControlOf(const QWidget& dialog, int id) {
  return dialog.findChild<Widget*>(ControlObjectName(id));
}

// Object names of the widgets that Tab visits in turn, starting with `first`.
inline QStringList TabChainNames(QWidget* first) {
  QStringList names{first->objectName()};
  for (QWidget* w = first->nextInFocusChain(); w != first; w = w->nextInFocusChain()) {
    const bool takesTab = (w->focusPolicy() & Qt::TabFocus) && w->isEnabled() &&
                          w->isVisibleTo(first->window()) && !w->focusProxy() && !w->isWindow();
    if (takesTab) names << w->objectName();
  }
  return names;
}

// The widget that has the focus, or the control it belongs to (an editable
// combo box's line edit belongs to the combo box).
inline QWidget* FocusedControl(const QWidget& dialog) {
  QWidget* focused = QApplication::focusWidget();
  while (focused && focused->parentWidget() != &dialog) focused = focused->parentWidget();
  return focused;
}
