#include <QTest>

#include <algorithm>
#include <set>
#include <string>

#include "resources/main_window_template.h"
#include "resources/options_dialog_template.h"
#include "settings/categories.h"
#include "settings/options.h"
#include "ui/testing/qt_test_main.h"

namespace {

// The kind of the template's control numbered `id`, or nothing.
std::optional<ControlKind> KindOf(const DialogTemplate& dialog, int id) {
  const auto found = std::find_if(dialog.controls.begin(), dialog.controls.end(),
                                  [id](const DialogControl& control) { return control.id == id; });
  if (found == dialog.controls.end()) return std::nullopt;
  return found->kind;
}

}  // namespace

// The tables of categories and options name controls of the window's
// templates and values of the stored settings; a row whose control is
// missing would leave the window without a widget to read.
class ControlTablesTest : public QObject {
  Q_OBJECT

 private slots:
  void everyCategoryHasACheckBoxInTheMainWindow() {
    for (const Category& category : kCategories)
      QCOMPARE(KindOf(main_window_template::kTemplate, static_cast<int>(category.box)),
               std::optional(ControlKind::kCheckBox));
  }

  void everyOptionHasItsControlInTheOptionsDialog() {
    for (const Option& option : kOptions) {
      QVERIFY2((option.flag == nullptr) != (option.text == nullptr), option.valueName);
      const ControlKind expected = option.flag ? ControlKind::kCheckBox : ControlKind::kEdit;
      QCOMPARE(KindOf(options_dialog::kTemplate, static_cast<int>(option.control)),
               std::optional(expected));
    }
  }

  void storedNamesAreDistinct() {
    std::set<std::string> names;
    for (const Category& category : kCategories)
      QVERIFY2(names.insert(category.valueName).second, category.valueName);
    for (const Option& option : kOptions)
      QVERIFY2(names.insert(option.valueName).second, option.valueName);
    QCOMPARE(std::string(kSaveSettingsOption.valueName), std::string("Save settings"));
  }
};

DUSTRAL_QTEST_MAIN(ControlTablesTest)
#include "control_tables_test.moc"
