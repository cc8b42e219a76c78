#pragma once

// What the main window's tests share: stored settings written as registry
// text, and ways to reach and drive the window's controls. Test-only.

#include <QAction>
#include <QCheckBox>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMimeData>
#include <QPushButton>
#include <QSet>
#include <QTest>
#include <QTextBrowser>
#include <QUrl>

#include <cstdio>
#include <filesystem>

#include "resources/main_window_template.h"
#include "ui/about_dialog.h"
#include "ui/entry_dialog.h"
#include "ui/entry_list_view.h"
#include "ui/options_dialog.h"
#include "ui/testing/main_window_rig.h"
#include "ui/testing/paint_spy.h"

namespace main_window_test {

namespace fs = std::filesystem;
namespace ids = main_window_template;

inline std::string Key(const std::string& path) { return "\n[" + path + "]\n"; }

inline std::string Dword(const std::string& name, unsigned value) {
  char number[16];
  std::snprintf(number, sizeof number, "%08x", value);
  return RegistryQuoted(name) + "=dword:" + number + "\n";
}

inline std::string Text(const std::string& name, const std::string& value) {
  return RegistryQuoted(name) + "=" + RegistryQuoted(value) + "\n";
}

// Options as stored: every flag named is set to its value.
inline std::string Options(std::initializer_list<std::pair<const char*, unsigned>> values) {
  std::string text = Key(ProgramKey("Default Settings"));
  for (const auto& [name, value] : values) text += Dword(name, value);
  return text;
}

struct StoredEntry {
  std::string path;
  std::string wildcard;  // empty: an individual file
  unsigned recurse = 0;
};

inline std::string Entries(const std::vector<StoredEntry>& entries) {
  std::string text = Key(ProgramKey("Default Settings")) +
                     Dword("Number of Items", static_cast<unsigned>(entries.size())) +
                     Key(ProgramKey("Entries"));
  char index[24];
  for (size_t i = 0; i < entries.size(); ++i) {
    std::snprintf(index, sizeof index, "%05zu", i);
    text += Text(std::string(index) + "_FilePath", entries[i].path);
    if (!entries[i].wildcard.empty()) {
      text += Text(std::string(index) + "_WildCard", entries[i].wildcard);
      text += Dword(std::string(index) + "_Recurse", entries[i].recurse);
    }
  }
  return text;
}

inline std::string StoredText(const MainWindowRig& rig, const std::string& section,
                              const std::string& name) {
  const auto value = rig.Stored(section, name);
  if (!value) return "<missing>";
  return std::string(value->data.c_str());
}

inline std::optional<uint32_t> StoredNumber(const MainWindowRig& rig, const std::string& name) {
  const auto value = rig.Stored("Default Settings", name);
  if (!value || value->data.size() != 4) return std::nullopt;
  const auto* bytes = reinterpret_cast<const unsigned char*>(value->data.data());
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

inline QAction* MenuAction(CCleanerDlg& window, MenuCommand command) {
  return window.findChild<QMenuBar*>()->findChild<QAction*>(
      QStringLiteral("command%1").arg(static_cast<int>(command)));
}

EntryListView* List(MainWindowRig& rig) { return rig.Control<EntryListView>(ids::kEntryList); }

inline std::string Cell(MainWindowRig& rig, int row, int column) {
  return List(rig)->CellText(row, column).value_or("<none>");
}

inline QPoint RowCentre(EntryListView& list, int row) {
  return list.visualItemRect(list.topLevelItem(row)).center();
}

inline void SelectRow(EntryListView& list, int row) {
  list.setCurrentItem(list.topLevelItem(row));
  list.topLevelItem(row)->setSelected(true);
}

// Opens the in-place edit of `row`'s path and confirms `text` with Enter,
// or cancels with Escape.
inline void EditLabel(EntryListView& list, int row, const QString& text, bool confirm = true) {
  SelectRow(list, row);
  list.editItem(list.topLevelItem(row), 0);
  auto* editor = list.viewport()->findChild<QLineEdit*>();
  QVERIFY(editor);
  editor->selectAll();
  QTest::keyClick(editor, Qt::Key_Delete);
  QTest::keyClicks(editor, text);
  QTest::keyClick(editor, confirm ? Qt::Key_Return : Qt::Key_Escape);
  QTRY_VERIFY(!list.IsEditingLabel());
  QTest::qWait(20);  // the window takes the text from the event queue
}

// Drags the URLs onto the window and drops them there, as a file manager
// does; false when the window refused the drag.
inline bool DropOn(QWidget& window, const QList<QUrl>& urls) {
  QMimeData data;
  data.setUrls(urls);
  const QPoint at(20, 20);
  QDragEnterEvent enter(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  enter.ignore();
  QApplication::sendEvent(&window, &enter);
  if (!enter.isAccepted()) return false;
  QDropEvent drop(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
  QApplication::sendEvent(&window, &drop);
  return true;
}

inline bool Enabled(MainWindowRig& rig, int id) { return rig.Control<QWidget>(id)->isEnabled(); }

}  // namespace main_window_test
