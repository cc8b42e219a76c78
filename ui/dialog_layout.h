#pragma once

#include <functional>
#include <map>
#include <vector>

#include <QFont>
#include <QRect>
#include <QString>
#include <QWidget>

#include "resources/dialog_template.h"

class QAbstractButton;
class QDialog;

// Pixels per dialog unit for one font: base-x is the font's average
// character width, base-y its height. A dialog unit is base-x / 4 pixels
// across and base-y / 8 pixels down.
class DialogUnits {
 public:
  explicit DialogUnits(const QFont& font);
  DialogUnits(int baseX, int baseY) : baseX_(baseX), baseY_(baseY) {}

  int BaseX() const { return baseX_; }
  int BaseY() const { return baseY_; }
  int ToPixelsX(int dialogUnits) const;
  int ToPixelsY(int dialogUnits) const;
  QRect ToPixels(int x, int y, int width, int height) const;

 private:
  int baseX_;
  int baseY_;
};

// The object name of the widget built for control `id`, such as "ctl1017".
// Controls without an identifier are named "item<N>", N being their index in
// the template.
QString ControlObjectName(int id);

// The widgets built from one template.
class DialogControls {
 public:
  // The widget of control `id`, or nullptr when the template has none.
  QWidget* Find(int id) const;
  template <class Widget>
  Widget* Get(int id) const {
    return qobject_cast<Widget*>(Find(id));
  }
  // Every widget, in template order (which is the tab order).
  const std::vector<QWidget*>& InTemplateOrder() const { return inOrder_; }

 private:
  friend DialogControls BuildDialog(QDialog&, const DialogTemplate&,
                                    const std::map<int, QWidget*>&);
  std::vector<QWidget*> inOrder_;
  std::map<int, QWidget*> byId_;
};

// Gives `dialog` the template's caption, its fixed size and one child widget
// per control, placed at the template's positions converted with the
// dialog's font. Controls take these widgets:
//   push button QPushButton, check box QCheckBox, radio button QRadioButton,
//   edit QLineEdit, combo box an editable QComboBox that inserts nothing on
//   its own, group box QGroupBox (kept behind the other controls), static
//   text and icon QLabel, placeholder the widget that `placedWidgets` gives
//   for its id (the dialog takes it over), else an empty QWidget.
// The tab order is the template order of the tab stops, and the first tab
// stop has the focus when the dialog is shown. A static text's '&' moves the
// focus to the next tab stop after it. Radio buttons of one group exclude
// each other; SetButtonChecked can still turn all of them off.
// Controls whose widget needs more height than the template gives keep
// their vertical centre and get the height they need; check boxes and radio
// buttons, and one-line static texts, also grow to the right until their
// whole text shows.
DialogControls BuildDialog(QDialog& dialog, const DialogTemplate& dialogTemplate,
                           const std::map<int, QWidget*>& placedWidgets = {});

// `font`, or where a window built from `dialogTemplate` in it would not fit
// into `room`, the largest smaller size of it (down to a legible minimum)
// at which it does. `extra` gives what the window needs beyond the
// template in a font: its frame, a menu bar. A large font (a high DPI
// setting) would otherwise push the title bar off the screen.
QFont FontThatFits(const QFont& font, const DialogTemplate& dialogTemplate, QSize room,
                   const std::function<QSize(const QFont&)>& extra);

// Ticks or clears a check box or radio button. Clearing works even for the
// checked button of an exclusive group, which a click never could.
void SetButtonChecked(QAbstractButton& button, bool checked);
