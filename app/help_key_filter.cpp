#include "app/help_key_filter.h"

#include <QKeyEvent>

bool HelpKeyFilter::eventFilter(QObject* watched, QEvent* event) {
  if (event->type() != QEvent::KeyPress) return QObject::eventFilter(watched, event);
  const auto* key = static_cast<QKeyEvent*>(event);
  constexpr Qt::KeyboardModifiers kHeld = Qt::ShiftModifier | Qt::ControlModifier | Qt::AltModifier;
  if (key->key() != Qt::Key_F1 || (key->modifiers() & kHeld)) return false;
  auto* widget = qobject_cast<QWidget*>(watched);
  onHelp_(widget ? widget->window() : nullptr);
  return true;
}
