#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "ui/dialog_layout.h"
#include "ui/testing/dialog_test_support.h"
#include "ui/testing/qt_test_main.h"

namespace {

namespace style = control_style;

// Small, but with every kind of control and the cases that need care: radio
// buttons split by other controls, statics after the control they label, a
// group box drawn over the controls it frames.
constexpr DialogControl kControls[] = {
    {10, ControlKind::kRadioButton, "One", 10, 10, 10, 7, style::kGroup},  // too narrow
    {11, ControlKind::kEdit, "", 60, 10, 80, 12, style::kTabStop},
    {12, ControlKind::kRadioButton, "Two", 10, 30, 40, 7, style::kNone},
    {13, ControlKind::kRadioButton, "Other group", 10, 45, 60, 7, style::kGroup},
    {kUnnamedControl, ControlKind::kStatic, "&Name:", 10, 60, 5, 8, style::kNone},  // too narrow
    {14, ControlKind::kComboBox, "", 60, 60, 50, 60, style::kTabStop},
    {15, ControlKind::kCheckBox, "&Tick", 10, 80, 60, 10, style::kTabStop},
    {16, ControlKind::kEdit, "status", 10, 95, 100, 11, style::kReadOnly},
    {17, ControlKind::kPlaceholder, "", 120, 80, 60, 30, style::kTabStop},
    {kIdOk, ControlKind::kPushButton, "OK", 150, 10, 50, 14,
     style::kTabStop | style::kDefaultButton},
    {kIdCancel, ControlKind::kPushButton, "Cancel", 150, 28, 50, 14, style::kTabStop},
    {kUnnamedControl, ControlKind::kGroupBox, "Frame", 5, 75, 110, 20, style::kNone},
    {kUnnamedControl, ControlKind::kIcon, "", 120, 40, 0, 0, style::kNone},
    {kUnnamedControl, ControlKind::kStatic, "A & B", 120, 60, 30, 8, style::kNoPrefix},
};
constexpr DialogTemplate kTestTemplate{"Test dialog", 210, 120, kControls};

}  // namespace

class DialogLayoutTest : public QObject {
  Q_OBJECT

 private slots:
  void convertsDialogUnitsWithRounding() {
    const DialogUnits units(6, 13);
    QCOMPARE(units.ToPixelsX(4), 6);
    QCOMPARE(units.ToPixelsX(1), 2);  // 1.5 rounds up
    QCOMPARE(units.ToPixelsX(3), 5);  // 4.5 rounds up
    QCOMPARE(units.ToPixelsY(8), 13);
    QCOMPARE(units.ToPixelsY(3), 5);  // 4.875
    QCOMPARE(units.ToPixels(10, 20, 30, 40), QRect(15, 33, 45, 65));
  }

  void aLargeFontShrinksUntilTheWindowFitsTheScreen() {
    QFont large = QApplication::font();
    large.setPointSizeF(24);
    const auto frame = [](const QFont&) { return QSize(16, 60); };
    const auto needed = [&](const QFont& font) {
      const DialogUnits units(font);
      return QSize(units.ToPixelsX(kTestTemplate.width), units.ToPixelsY(kTestTemplate.height)) +
             frame(font);
    };
    const QSize atLarge = needed(large);

    // Room enough: the font stays.
    QCOMPARE(FontThatFits(large, kTestTemplate, atLarge, frame), large);
    // Too little: a smaller size of the same font, which fits.
    const QSize room = atLarge * 2 / 3;
    const QFont fitted = FontThatFits(large, kTestTemplate, room, frame);
    QVERIFY(fitted.pointSizeF() < large.pointSizeF());
    QCOMPARE(fitted.family(), large.family());
    QVERIFY(needed(fitted).height() <= room.height());
    QVERIFY(needed(fitted).width() <= room.width());
  }

  void unitsFollowTheFont() {
    QFont small = QApplication::font();
    small.setPointSize(8);
    QFont large = small;
    large.setPointSize(16);
    const DialogUnits smallUnits(small);
    const DialogUnits largeUnits(large);
    QCOMPARE(smallUnits.BaseY(), QFontMetrics(small).height());
    QVERIFY(smallUnits.BaseX() > 0);
    QVERIFY(largeUnits.BaseX() > smallUnits.BaseX());
    QVERIFY(largeUnits.BaseY() > smallUnits.BaseY());
  }

  void buildsCaptionSizeAndWidgets() {
    QDialog dialog;
    BuildDialog(dialog, kTestTemplate);
    const DialogUnits units(dialog.font());
    QCOMPARE(dialog.windowTitle(), QString("Test dialog"));
    QCOMPARE(dialog.size(), QSize(units.ToPixelsX(210), units.ToPixelsY(120)));
    QCOMPARE(dialog.minimumSize(), dialog.maximumSize());

    QVERIFY(dialog.findChild<QRadioButton*>("ctl10"));
    QVERIFY(dialog.findChild<QLineEdit*>("ctl11"));
    QVERIFY(dialog.findChild<QComboBox*>("ctl14")->isEditable());
    QVERIFY(dialog.findChild<QLineEdit*>("ctl16")->isReadOnly());
    QVERIFY(!dialog.findChild<QLineEdit*>("ctl11")->isReadOnly());
    QCOMPARE(dialog.findChild<QGroupBox*>("item11")->title(), QString("Frame"));
    QCOMPARE(dialog.findChild<QLabel*>("item13")->text(), QString("A & B"));
    QVERIFY(dialog.findChild<QPushButton*>("ctl1")->isDefault());
    QVERIFY(!dialog.findChild<QPushButton*>("ctl2")->isDefault());
  }

  void placesControlsAtTheirConvertedPositions() {
    QDialog dialog;
    const DialogControls controls = BuildDialog(dialog, kTestTemplate);
    const DialogUnits units(dialog.font());
    QCOMPARE(controls.InTemplateOrder().size(), std::size(kControls));
    for (size_t i = 0; i < std::size(kControls); ++i) {
      const DialogControl& c = kControls[i];
      const QRect place = controls.InTemplateOrder()[i]->geometry();
      QCOMPARE(place.x(), units.ToPixelsX(c.x));
      if (c.kind == ControlKind::kIcon || c.kind == ControlKind::kComboBox) continue;
      if (c.kind == ControlKind::kCheckBox || c.kind == ControlKind::kRadioButton ||
          c.kind == ControlKind::kStatic)
        QVERIFY(place.width() >= units.ToPixelsX(c.width));
      else
        QCOMPARE(place.width(), units.ToPixelsX(c.width));
      // A widget that needs more height keeps the template's vertical centre.
      const QRect planned = units.ToPixels(c.x, c.y, c.width, c.height);
      QVERIFY2(place.height() >= planned.height(),
               qPrintable(controls.InTemplateOrder()[i]->objectName()));
      QVERIFY(qAbs(place.center().y() - planned.center().y()) <= 1);
    }
    // A radio button whose text is longer than its place shows it whole.
    auto* narrow = controls.Get<QRadioButton>(10);
    QVERIFY(narrow->width() >= narrow->sizeHint().width());
    auto* label = static_cast<QLabel*>(controls.InTemplateOrder()[4]);
    QVERIFY(label->width() > label->fontMetrics().horizontalAdvance("Name:"));
    // The combo box is as high as its closed box, not as its dropped list.
    auto* combo = controls.Get<QComboBox>(14);
    QCOMPARE(combo->height(), combo->sizeHint().height());
    QVERIFY(combo->maxVisibleItems() >= 1);
  }

  void tabOrderIsTemplateOrderOfTabStops() {
    QDialog dialog;
    QListWidget* list = new QListWidget;
    const DialogControls controls = BuildDialog(dialog, kTestTemplate, {{17, list}});
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QCOMPARE(QApplication::focusWidget(), controls.Find(11));

    QCOMPARE(TabChainNames(controls.Find(11)),
             QStringList({"ctl11", "ctl14", "ctl15", "ctl17", "ctl1", "ctl2"}));
    QCOMPARE(controls.Find(17), list);
    QCOMPARE(list->parentWidget(), &dialog);

    // Non-tab-stops: the radios and the read-only edit take a click's focus,
    // statics and group boxes none at all.
    QCOMPARE(controls.Find(10)->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(controls.Find(16)->focusPolicy(), Qt::ClickFocus);
    QCOMPARE(controls.InTemplateOrder()[4]->focusPolicy(), Qt::NoFocus);
    QCOMPARE(controls.InTemplateOrder()[11]->focusPolicy(), Qt::NoFocus);
  }

  void radioGroupsFollowGroupStartsAndCanBeCleared() {
    QDialog dialog;
    const DialogControls controls = BuildDialog(dialog, kTestTemplate);
    auto* one = controls.Get<QRadioButton>(10);
    auto* two = controls.Get<QRadioButton>(12);
    auto* other = controls.Get<QRadioButton>(13);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));

    QTest::mouseClick(one, Qt::LeftButton);
    QTest::mouseClick(other, Qt::LeftButton);
    QVERIFY(one->isChecked());
    QVERIFY(other->isChecked());  // a group of its own
    QTest::mouseClick(two, Qt::LeftButton);
    QVERIFY(two->isChecked());
    QVERIFY(!one->isChecked());

    SetButtonChecked(*two, false);
    QVERIFY(!one->isChecked());
    QVERIFY(!two->isChecked());
    // Still exclusive afterwards.
    QTest::mouseClick(one, Qt::LeftButton);
    QTest::mouseClick(two, Qt::LeftButton);
    QVERIFY(!one->isChecked());
    QVERIFY(two->isChecked());
  }

  void groupBoxDoesNotSwallowClicks() {
    QDialog dialog;
    const DialogControls controls = BuildDialog(dialog, kTestTemplate);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowExposed(&dialog));
    auto* box = controls.Get<QCheckBox>(15);
    QVERIFY(controls.InTemplateOrder()[11]->geometry().intersects(box->geometry()));
    const QPoint insideBox = box->geometry().topLeft() + QPoint(4, box->height() / 2);
    QCOMPARE(dialog.childAt(insideBox), box);
  }

  void accessKeysMoveFocusOrPress() {
    QDialog dialog;
    const DialogControls controls = BuildDialog(dialog, kTestTemplate);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));

    // "&Name:" labels the combo box after it.
    QTest::keyClick(&dialog, Qt::Key_N, Qt::AltModifier);
    QCOMPARE(FocusedControl(dialog), controls.Find(14));

    auto* box = controls.Get<QCheckBox>(15);
    QTest::keyClick(&dialog, Qt::Key_T, Qt::AltModifier);
    QTRY_VERIFY(box->isChecked());
  }

  void enterPressesTheDefaultButtonAndEscapeRejects() {
    QDialog dialog;
    const DialogControls controls = BuildDialog(dialog, kTestTemplate);
    QSignalSpy okClicks(controls.Get<QPushButton>(kIdOk), &QPushButton::clicked);
    QSignalSpy rejected(&dialog, &QDialog::rejected);
    dialog.show();
    QVERIFY(QTest::qWaitForWindowActive(&dialog));
    QTest::keyClick(controls.Find(11), Qt::Key_Return);
    QCOMPARE(okClicks.count(), 1);
    QTest::keyClick(controls.Find(11), Qt::Key_Escape);
    QCOMPARE(rejected.count(), 1);
  }
};

DUSTRAL_QTEST_MAIN(DialogLayoutTest)
#include "dialog_layout_test.moc"
