#include "app/help_key_filter.h"

#include <QApplication>
#include <QKeyEvent>

bool HelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  constexpr Qt::KeyboardModifiers kHeld = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  if (key->key() != Qt::Key_F1 || (key->modifiers() & kHeld)) return false;
  // The key reaches the filter first through the system's window object,
  // not a widget: the window it was pressed in is then the active one.
  QWidget* widget = qobject_cast<QWidget*>(watched);
  if (!widget) widget = QApplication::activeWindow();
  onHelp_(widget ? widget->window() : nullptr);
  return true;
}
