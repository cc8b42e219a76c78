#include "ui/dialog_layout.h"

#include <algorithm>

#include <QAbstractButton>
#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QDialog>
#include <QFontInfo>
#include <QFontMetrics>
#include <QGroupBox>
#include <QIcon>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

namespace {

// Rounds half away from zero, as the conversion of dialog units always has.
int ScaleRounded(int value, int numerator, int denominator) {
  const long long product = static_cast<long long>(value) * numerator;
  const long long half = denominator / 2;
  return static_cast<int>(product >= 0 ? (product + half) / denominator
                                       : (product - half) / denominator);
}

bool HasStyle(const DialogControl& control, unsigned style) {
  return (control.styles & style) != 0;
}

// Icons are shown at the system's icon size, whatever the template says.
constexpr int kIconPixels = 32;

QWidget* MakeWidget(const DialogControl& control, QDialog& dialog,
                    const std::map<int, QWidget*>& placedWidgets) {
  const QString text = QString::fromUtf8(control.text ? control.text : "");
  switch (control.kind) {
    case ControlKind::kPushButton: {
      auto* button = new QPushButton(text, &dialog);
      button->setDefault(HasStyle(control, control_style::kDefaultButton));
      return button;
    }
    case ControlKind::kCheckBox:
      return new QCheckBox(text, &dialog);
    case ControlKind::kRadioButton: {
      auto* radio = new QRadioButton(text, &dialog);
      radio->setAutoExclusive(false);  // the button group decides
      return radio;
    }
    case ControlKind::kEdit: {
      auto* edit = new QLineEdit(text, &dialog);
      edit->setReadOnly(HasStyle(control, control_style::kReadOnly));
      return edit;
    }
    case ControlKind::kComboBox: {
      auto* combo = new QComboBox(&dialog);
      combo->setEditable(true);
      combo->setInsertPolicy(QComboBox::NoInsert);
      combo->setDuplicatesEnabled(true);
      combo->setEditText(text);
      return combo;
    }
    case ControlKind::kGroupBox: {
      auto* group = new QGroupBox(text, &dialog);
      // The frame runs through the middle of the title, as the layout's
      // positions assume; by default Qt puts the title above the frame,
      // pushing the frame onto the controls inside it.
      group->setStyleSheet(QStringLiteral(
          "QGroupBox { border: 1px solid palette(mid); border-radius: 2px;"
          " margin-top: 0.5em; }"
          "QGroupBox::title { subcontrol-origin: margin; subcontrol-position: top left;"
          " left: 6px; padding: 0 2px; }"));
      return group;
    }
    case ControlKind::kStatic: {
      auto* label = new QLabel(&dialog);
      label->setTextFormat(Qt::PlainText);
      label->setText(text);
      label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
      label->setWordWrap(true);
      return label;
    }
    case ControlKind::kIcon: {
      auto* label = new QLabel(&dialog);
      label->setPixmap(QApplication::windowIcon().pixmap(kIconPixels, kIconPixels));
      return label;
    }
    case ControlKind::kPlaceholder: {
      auto found = placedWidgets.find(control.id);
      QWidget* widget = found != placedWidgets.end() ? found->second : new QWidget;
      widget->setParent(&dialog);
      return widget;
    }
  }
  return new QWidget(&dialog);
}

// Keeps the vertical centre of a place that is too low for its widget.
QRect GrownToNeededHeight(QRect place, const QWidget& widget) {
  const int needed = widget.sizeHint().height();
  if (needed > place.height()) {
    const int centre = place.center().y();
    place.setHeight(needed);
    place.moveCenter(QPoint(place.center().x(), centre));
  }
  return place;
}

QRect PlaceOf(const DialogControl& control, const QWidget& widget, const DialogUnits& units) {
  QRect place = units.ToPixels(control.x, control.y, control.width, control.height);
  switch (control.kind) {
    case ControlKind::kIcon:
      place.setSize(QSize(kIconPixels, kIconPixels));
      return place;
    case ControlKind::kComboBox:
      // The template's height includes the dropped-down list.
      place.setHeight(widget.sizeHint().height());
      return place;
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
      // The toolkit's tick mark and spacing are wider than the ones the
      // template was drawn for; the text must not be cut off.
      place.setWidth(std::max(place.width(), widget.sizeHint().width()));
      return GrownToNeededHeight(place, widget);
    case ControlKind::kPushButton:
    case ControlKind::kEdit:
      return GrownToNeededHeight(place, widget);
    case ControlKind::kStatic:
      // A one-line label shows its whole text, as it did in the font the
      // template was drawn for.
      if (control.height < 16) {
        QString shown = QString::fromUtf8(control.text);
        if (!HasStyle(control, control_style::kNoPrefix)) shown.remove(QLatin1Char('&'));
        const int textWidth = widget.fontMetrics().horizontalAdvance(shown);
        place.setWidth(std::max(place.width(), textWidth + 1));
      }
      return place;
    default:
      return place;
  }
}

// As many rows as fit into the dropped-down height the template gives.
void FitDropDownRows(QComboBox& combo, const DialogControl& control, const DialogUnits& units) {
  const int listPixels = units.ToPixelsY(control.height) - combo.height();
  const int rowPixels = std::max(1, combo.fontMetrics().height());
  combo.setMaxVisibleItems(std::max(1, listPixels / rowPixels));
}

bool TakesFocusOnClick(ControlKind kind) {
  switch (kind) {
    case ControlKind::kPushButton:
    case ControlKind::kCheckBox:
    case ControlKind::kRadioButton:
    case ControlKind::kEdit:
    case ControlKind::kComboBox:
    case ControlKind::kPlaceholder:
      return true;
    default:
      return false;
  }
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font) {
  const QFontMetrics metrics(font);
  const int alphabetWidth = metrics.horizontalAdvance(
      QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz"));
  baseX_ = (alphabetWidth / 26 + 1) / 2;
  baseY_ = metrics.height();
}

int DialogUnits::ToPixelsX(int dialogUnits) const { return ScaleRounded(dialogUnits, baseX_, 4); }

int DialogUnits::ToPixelsY(int dialogUnits) const { return ScaleRounded(dialogUnits, baseY_, 8); }

QRect DialogUnits::ToPixels(int x, int y, int width, int height) const {
  return QRect(ToPixelsX(x), ToPixelsY(y), ToPixelsX(width), ToPixelsY(height));
}

QString ControlObjectName(int id) { return QStringLiteral("ctl%1").arg(id); }

QWidget* DialogControls::Find(int id) const {
  auto found = byId_.find(id);
  return found == byId_.end() ? nullptr : found->second;
}

DialogControls BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate,
                           const std::map<int, QWidget*>& placedWidgets) {
  const DialogUnits units(dialog.font());
  dialog.setWindowTitle(QString::fromUtf8(dialogTemplate.caption));
  dialog.setWindowFlags(Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                        Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
  dialog.setFixedSize(units.ToPixelsX(dialogTemplate.width),
                      units.ToPixelsY(dialogTemplate.height));

  DialogControls controls;
  std::vector<QWidget*> tabStops;
  std::vector<QLabel*> labelsAwaitingBuddy;
  QButtonGroup* radioGroup = nullptr;

  const auto& items = dialogTemplate.controls;
  for (size_t index = 0; index < items.size(); ++index) {
    const DialogControl& control = items[index];
    QWidget* widget = MakeWidget(control, dialog, placedWidgets);
    widget->setObjectName(control.id == kUnnamedControl ? QStringLiteral("item%1").arg(index)
                                                        : ControlObjectName(control.id));
    widget->setGeometry(PlaceOf(control, *widget, units));
    if (auto* combo = qobject_cast<QComboBox*>(widget)) FitDropDownRows(*combo, control, units);

    if (HasStyle(control, control_style::kGroup)) radioGroup = nullptr;
    if (auto* radio = qobject_cast<QRadioButton*>(widget)) {
      if (!radioGroup) {
        radioGroup = new QButtonGroup(&dialog);
        radioGroup->setExclusive(true);
      }
      radioGroup->addButton(radio);
    }

    const bool tabStop = HasStyle(control, control_style::kTabStop);
    if (tabStop) {
      widget->setFocusPolicy(Qt::StrongFocus);
      tabStops.push_back(widget);
      for (QLabel* label : labelsAwaitingBuddy) label->setBuddy(widget);
      labelsAwaitingBuddy.clear();
    } else {
      widget->setFocusPolicy(TakesFocusOnClick(control.kind) ? Qt::ClickFocus : Qt::NoFocus);
    }

    if (control.kind == ControlKind::kStatic && !HasStyle(control, control_style::kNoPrefix) &&
        QString::fromUtf8(control.text).contains(QLatin1Char('&'))) {
      labelsAwaitingBuddy.push_back(static_cast<QLabel*>(widget));
    }
    // Group boxes only frame: they must not catch the clicks meant for the
    // controls they surround.
    if (control.kind == ControlKind::kGroupBox) widget->lower();

    controls.inOrder_.push_back(widget);
    if (control.id != kUnnamedControl) controls.byId_.emplace(control.id, widget);
  }

  for (size_t i = 1; i < tabStops.size(); ++i) QWidget::setTabOrder(tabStops[i - 1], tabStops[i]);
  if (!tabStops.empty()) tabStops.front()->setFocus();
  return controls;
}

QFont FontThatFits(const QFont& font, const DialogTemplate& dialogTemplate, QSize room,
                   const std::function<QSize(const QFont&)>& extra) {
  constexpr double kSmallestPoints = 6.0;
  const auto fits = [&](const QFont& candidate) {
    const DialogUnits units(candidate);
    const QSize needed =
        QSize(units.ToPixelsX(dialogTemplate.width), units.ToPixelsY(dialogTemplate.height)) +
        extra(candidate);
    return needed.width() <= room.width() && needed.height() <= room.height();
  };
  QFont fitted = font;
  if (fitted.pointSizeF() <= 0) fitted.setPointSizeF(QFontInfo(font).pointSizeF());
  while (!fits(fitted) && fitted.pointSizeF() > kSmallestPoints)
    fitted.setPointSizeF(std::max(kSmallestPoints, fitted.pointSizeF() - 0.5));
  return fits(font) ? font : fitted;
}

void SetButtonChecked(QAbstractButton& button, bool checked) {
  QButtonGroup* group = button.group();
  const bool exclusive = group && group->exclusive();
  if (exclusive && !checked) group->setExclusive(false);
  button.setChecked(checked);
  if (exclusive && !checked) group->setExclusive(true);
}
