#include "ui/focus_frame_style.h"

#include <QCheckBox>
#include <QRadioButton>
#include <QStyleOption>

FocusFrameStyle::FocusFrameStyle() = default;

void FocusFrameStyle::drawPrimitive(PrimitiveElement element, const QStyleOption* option,
                                    QPainter* painter, const QWidget* widget) const {
  const bool tickable =
      qobject_cast<const QCheckBox*>(widget) || qobject_cast<const QRadioButton*>(widget);
  if (element == PE_FrameFocusRect && option && tickable) {
    if (const auto* frame = qstyleoption_cast<const QStyleOptionFocusRect*>(option)) {
      QStyleOptionFocusRect shown = *frame;
      shown.state |= State_KeyboardFocusChange;
      QProxyStyle::drawPrimitive(element, &shown, painter, widget);
      return;
    }
  }
  QProxyStyle::drawPrimitive(element, option, painter, widget);
}
