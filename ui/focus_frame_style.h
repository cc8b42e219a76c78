#pragma once

#include <QProxyStyle>

// The program's style: the desktop's own, except that a check box or radio
// button with the keyboard focus always shows its focus frame. Fusion, the
// style Qt falls back to, frames them only after the focus was moved with
// Tab, so a box that got the focus when the window opened, or by its access
// key, looked no different from the others while push buttons showed theirs.
class FocusFrameStyle : public QProxyStyle {
  Q_OBJECT

 public:
  FocusFrameStyle();

  void drawPrimitive(PrimitiveElement element, const QStyleOption* option, QPainter* painter,
                     const QWidget* widget = nullptr) const override;
};
