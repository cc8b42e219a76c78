#include <QCheckBox>
#include <QImage>
#include <QPainter>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTest>

#include "ui/focus_frame_style.h"
#include "ui/testing/qt_test_main.h"

namespace {

// The button drawn by `style` as the window would draw it, with or without
// the keyboard focus (the focus moved there without Tab).
QImage Drawn(QStyle& style, QAbstractButton& button, QStyle::ControlElement element, bool focus) {
  QStyleOptionButton option;
  option.initFrom(&button);
  option.text = button.text();
  option.rect = QRect(QPoint(0, 0), button.sizeHint() + QSize(8, 8));
  option.state |= QStyle::State_Off;
  option.state &= ~(QStyle::State_HasFocus | QStyle::State_KeyboardFocusChange);
  if (focus) option.state |= QStyle::State_HasFocus;
  QImage image(option.rect.size(), QImage::Format_ARGB32);
  image.fill(Qt::white);
  QPainter painter(&image);
  style.drawControl(element, &option, &painter, &button);
  return image;
}

}  // namespace

class FocusFrameStyleTest : public QObject {
  Q_OBJECT

 private slots:
  void checkBoxesAndRadioButtonsShowTheirFocusWithoutTab();
};

void FocusFrameStyleTest::checkBoxesAndRadioButtonsShowTheirFocusWithoutTab() {
  FocusFrameStyle style;
  QCheckBox box(QStringLiteral("Remove &Temp Files"));
  QRadioButton radio(QStringLiteral("Individual File"));
  QVERIFY(Drawn(style, box, QStyle::CE_CheckBox, true) !=
          Drawn(style, box, QStyle::CE_CheckBox, false));
  QVERIFY(Drawn(style, radio, QStyle::CE_RadioButton, true) !=
          Drawn(style, radio, QStyle::CE_RadioButton, false));
}

DUSTRAL_QTEST_MAIN(FocusFrameStyleTest)
#include "focus_frame_style_test.moc"
