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

namespace fs = std::filesystem;
namespace ids = main_window_template;

namespace {

std::string Key(const std::string& path) { return "\n[" + path + "]\n"; }

std::string Dword(const std::string& name, unsigned value) {
  char number[16];
  std::snprintf(number, sizeof number, "%08x", value);
  return RegistryQuoted(name) + "=dword:" + number + "\n";
}

std::string Text(const std::string& name, const std::string& value) {
  return RegistryQuoted(name) + "=" + RegistryQuoted(value) + "\n";
}

// Options as stored: every flag named is set to its value.
std::string Options(std::initializer_list<std::pair<const char*, unsigned>> values) {
  std::string text = Key(ProgramKey("Default Settings"));
  for (const auto& [name, value] : values) text += Dword(name, value);
  return text;
}

struct StoredEntry {
  std::string path;
  std::string wildcard;  // empty: an individual file
  unsigned recurse = 0;
};

std::string Entries(const std::vector<StoredEntry>& entries) {
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

std::string StoredText(const MainWindowRig& rig, const std::string& section,
                       const std::string& name) {
  const auto value = rig.Stored(section, name);
  if (!value) return "<missing>";
  return std::string(value->data.c_str());
}

std::optional<uint32_t> StoredNumber(const MainWindowRig& rig, const std::string& name) {
  const auto value = rig.Stored("Default Settings", name);
  if (!value || value->data.size() != 4) return std::nullopt;
  const auto* bytes = reinterpret_cast<const unsigned char*>(value->data.data());
  return bytes[0] | bytes[1] << 8 | bytes[2] << 16 | static_cast<uint32_t>(bytes[3]) << 24;
}

QAction* MenuAction(CCleanerDlg& window, MenuCommand command) {
  return window.findChild<QMenuBar*>()->findChild<QAction*>(
      QStringLiteral("command%1").arg(static_cast<int>(command)));
}

EntryListView* List(MainWindowRig& rig) { return rig.Control<EntryListView>(ids::kEntryList); }

std::string Cell(MainWindowRig& rig, int row, int column) {
  return List(rig)->CellText(row, column).value_or("<none>");
}

QPoint RowCentre(EntryListView& list, int row) {
  return list.visualItemRect(list.topLevelItem(row)).center();
}

void SelectRow(EntryListView& list, int row) {
  list.setCurrentItem(list.topLevelItem(row));
  list.topLevelItem(row)->setSelected(true);
}

// Opens the in-place edit of `row`'s path and confirms `text` with Enter,
// or cancels with Escape.
void EditLabel(EntryListView& list, int row, const QString& text, bool confirm = true) {
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
bool DropOn(QWidget& window, const QList<QUrl>& urls) {
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

bool Enabled(MainWindowRig& rig, int id) { return rig.Control<QWidget>(id)->isEnabled(); }

}  // namespace

class MainWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpShowsDiscoveryAndStoredSettings();
  void onlyAClickInTheListEnablesTheEntryButtons();
  void buttonsAndMenuItemsReachTheEntryCommands();
  void addAndDoubleClickOpenTheEntryEditor();
  void popUpMenuAtTheCursorActsOnTheSelectedRow();
  void menuKeyAndShiftF10OpenTheEntryMenuAtTheSelectedRow_data();
  void menuKeyAndShiftF10OpenTheEntryMenuAtTheSelectedRow();
  void noRowStaysSelectedAfterAnEntryCommand_data();
  void noRowStaysSelectedAfterAnEntryCommand();
  void droppedLocalFilesBecomeEntriesLastOnTop();
  void labelEditsTakeTheTextAndAskBeforeRetargetingEverything();
  void enterCleansUnlessAButtonOrTheLabelEditHasTheFocus();
  void everyWayOutSavesOnce_data();
  void everyWayOutSavesOnce();
  void optionsTakeEffectForTheNextClean();
  void autoCleanRunsDuringStartUp();
  void runsAsANormalApplicationWindow();
  void wasteBasketBoxEmptiesTheTrash();
  void autoCleanWithQuitEndsBeforeTheWindowShows();
  void statusTextsAreDrawnUnderTheWaitCursor();
  void helpMenuShowsTheContentsOrSaysWhy();
  void aboutBoxShowsNameAndIcon();
  void noTwoItemsOfAMenuShareAnAccessKey();
};

void MainWindowTest::startUpShowsDiscoveryAndStoredSettings() {
  MainWindowRig rig([](const ScopedTestHome& home) {
    return Key("HKEY_CURRENT_USER\\Software\\Microsoft\\Windows\\CurrentVersion\\Explorer\\"
               "Shell Folders") +
           Text("Recent", home.Path("recent")) + Entries({{"/a", "*.tmp", 0}, {"/b/file", "", 0}}) +
           Options({{"Explorer Clear", 0}, {"Netscape Clear", 1}, {"List Field 1", 210}});
  });
  rig.StartShown();

  struct Expected {
    int id;
    bool enabled;
    bool checked;
  };
  for (const Expected& box :
       {Expected{ids::kRecentBox, true, true}, Expected{ids::kTempBox, true, true},
        Expected{ids::kRecycleBinBox, true, false},
        Expected{ids::kNetscapeBox, false, true},  // not found, stored 1
        Expected{ids::kIECacheBox, false, false},
        // not found, then ticked by the stored default
        Expected{ids::kIEHistoryBox, false, true}}) {
    auto* widget = rig.Control<QCheckBox>(box.id);
    QVERIFY2(widget, qPrintable(QString::number(box.id)));
    QCOMPARE(widget->isEnabled(), box.enabled);
    QCOMPARE(widget->isChecked(), box.checked);
    QVERIFY(widget->width() >= widget->sizeHint().width());  // caption not cut
  }

  EntryListView& list = *List(rig);
  QCOMPARE(list.RowCount(), 2);
  QCOMPARE(Cell(rig, 0, 0), std::string("/b/file"));
  QCOMPARE(Cell(rig, 1, 0), std::string("/a"));
  QCOMPARE(Cell(rig, 1, 1), std::string("*.tmp"));
  QCOMPARE(Cell(rig, 1, 2), std::string("No"));
  QCOMPARE(list.headerItem()->text(0), QStringLiteral("File/Path"));
  QCOMPARE(list.headerItem()->text(1), QStringLiteral("WildCard"));
  QCOMPARE(list.headerItem()->text(2), QStringLiteral("Recurse"));
  QCOMPARE(list.ColumnWidth(0), std::optional<int>(210));
  QCOMPARE(list.ColumnWidth(1), std::optional<int>(50));
  QCOMPARE(list.selectionMode(), QAbstractItemView::SingleSelection);

  QVERIFY(!Enabled(rig, ids::kEditButton));
  QVERIFY(!Enabled(rig, ids::kDeleteButton));
  QVERIFY(!Enabled(rig, ids::kCopyButton));
  QVERIFY(Enabled(rig, ids::kAddButton));
  for (QAction* action : rig.window->findChild<QMenuBar*>()->findChildren<QAction*>())
    QVERIFY(action->isEnabled());

  auto* status = rig.Control<QLineEdit>(ids::kStatusLine);
  QVERIFY(status->isReadOnly());
  QVERIFY(status->text().isEmpty());
  QVERIFY(!(status->focusPolicy() & Qt::TabFocus));
  QCOMPARE(rig.window->focusWidget(), rig.Control<QWidget>(ids::kRecentBox));
  QVERIFY(rig.window->acceptDrops());
  QCOMPARE(rig.window->windowTitle(), QStringLiteral("Dustral 95"));

  QStringList fileItems;
  for (QAction* action : rig.window->findChild<QMenu*>(QStringLiteral("FileMenu"))->actions())
    fileItems << action->text();
  QCOMPARE(fileItems, (QStringList{"C&lean\tEnter", "Pre&view...", "&Options...", "E&xit\tEsc"}));
  QCOMPARE(MenuAction(*rig.window, MenuCommand::kHelpContents)->text(),
           QStringLiteral("&Help\tF1"));
}

void MainWindowTest::onlyAClickInTheListEnablesTheEntryButtons() {
  MainWindowRig rig(Entries({{"/a", "", 0}, {"/b", "", 0}}));
  rig.StartShown();
  EntryListView& list = *List(rig);

  list.setFocus();
  QTest::keyClick(&list, Qt::Key_Down);
  QTest::keyClick(&list, Qt::Key_Up);
  QVERIFY(!Enabled(rig, ids::kEditButton));

  auto closed = WhenPopup<QMenu>([](QMenu& menu) { menu.close(); });
  QTest::mouseClick(list.viewport(), Qt::RightButton, {}, RowCentre(list, 1));
  QTRY_VERIFY(*closed);
  QCOMPARE(list.SelectedRow(), 1);
  QVERIFY(!Enabled(rig, ids::kEditButton));

  // A click below the rows hits none, and still counts.
  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, QPoint(5, list.viewport()->height() - 5));
  for (int id : {ids::kEditButton, ids::kDeleteButton, ids::kCopyButton}) QVERIFY(Enabled(rig, id));

  for (int left : {1, 0}) {
    SelectRow(list, 0);
    MenuAction(*rig.window, MenuCommand::kDeleteEntry)->trigger();
    QCOMPARE(list.RowCount(), left);
  }
  for (int id : {ids::kEditButton, ids::kDeleteButton, ids::kCopyButton}) QVERIFY(Enabled(rig, id));
}

void MainWindowTest::buttonsAndMenuItemsReachTheEntryCommands() {
  MainWindowRig rig(Entries({{"/a", "*.bak", 1}, {"/b", "", 0}}));
  rig.StartShown();
  EntryListView& list = *List(rig);
  list.clearSelection();

  MenuAction(*rig.window, MenuCommand::kModifyEntry)->trigger();
  MenuAction(*rig.window, MenuCommand::kCopyEntry)->trigger();
  MenuAction(*rig.window, MenuCommand::kDeleteEntry)->trigger();
  QCOMPARE(rig.ui.messages.size(), size_t{3});
  for (int i : {0, 1}) {
    QCOMPARE(rig.ui.messages[i].text, std::string("No item specified!"));
    QCOMPARE(rig.ui.messages[i].caption, std::string("dustral"));
    QCOMPARE(rig.ui.messages[i].icon, MessageIcon::kNone);
  }
  QCOMPARE(rig.ui.messages[2].text, std::string("Couldn't delete entry!"));
  QCOMPARE(rig.ui.messages[2].caption, std::string("Error"));
  QCOMPARE(rig.ui.messageOwners[2], static_cast<QWidget*>(rig.window.get()));
  QCOMPARE(list.RowCount(), 2);

  QTest::mouseClick(list.viewport(), Qt::LeftButton, {}, RowCentre(list, 1));
  QCOMPARE(list.SelectedRow(), 1);
  QTest::mouseClick(rig.Control<QPushButton>(ids::kDeleteButton), Qt::LeftButton);
  QCOMPARE(list.RowCount(), 1);
  QCOMPARE(Cell(rig, 0, 0), std::string("/b"));
  QCOMPARE(rig.ui.messages.size(), size_t{3});  // no question before deleting
}

void MainWindowTest::addAndDoubleClickOpenTheEntryEditor() {
  MainWindowRig rig(Entries({{"/a", "*.bak", 1}}));
  rig.StartShown();
  EntryListView& list = *List(rig);

  auto added = WhenModal<CEntryDlg>([](CEntryDlg& editor) {
    auto* file = editor.findChild<QLineEdit*>(QStringLiteral("ctl1008"));
    QTest::keyClicks(file, QStringLiteral("/home/me/old notes.txt"));
    QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("ctl1")), Qt::LeftButton);
  });
  QTest::mouseClick(rig.Control<QPushButton>(ids::kAddButton), Qt::LeftButton);
  QVERIFY(*added);
  QCOMPARE(list.RowCount(), 2);
  QCOMPARE(Cell(rig, 0, 0), std::string("/home/me/old notes.txt"));
  QCOMPARE(Cell(rig, 0, 1), std::string());

  QString shownPath;
  auto cancelled = WhenModal<CEntryDlg>([&shownPath](CEntryDlg& editor) {
    shownPath = editor.findChild<QLineEdit*>(QStringLiteral("ctl1010"))->text();
    editor.reject();
  });
  QTest::mouseDClick(list.viewport(), Qt::LeftButton, {}, RowCentre(list, 1));
  QVERIFY(*cancelled);
  QCOMPARE(shownPath, QStringLiteral("/a"));
  QCOMPARE(list.RowCount(), 2);
  QCOMPARE(Cell(rig, 1, 0), std::string("/a"));
}

void MainWindowTest::popUpMenuAtTheCursorActsOnTheSelectedRow() {
  MainWindowRig rig(Entries({{"/a", "", 0}, {"/b", "", 0}, {"/c", "", 0}}));
  rig.StartShown();
  EntryListView& list = *List(rig);
  const QPoint click = RowCentre(list, 1);
  const QPoint onScreen = list.viewport()->mapToGlobal(click);

  QStringList items;
  QPoint shownAt;
  auto chosen = WhenPopup<QMenu>([&](QMenu& menu) {
    shownAt = menu.pos();
    for (QAction* action : menu.actions()) items << action->text();
    menu.setActiveAction(menu.actions().at(3));
    QTest::keyClick(&menu, Qt::Key_Return);
  });
  QTest::mouseClick(list.viewport(), Qt::RightButton, {}, click);
  QTRY_VERIFY(*chosen);
  QCOMPARE(items, (QStringList{"&Add...", "&Copy...", "&Modify...", "&Delete\tDel"}));
  QCOMPARE(shownAt, onScreen);
  QTRY_COMPARE(list.RowCount(), 2);
  QCOMPARE(Cell(rig, 0, 0), std::string("/c"));
  QCOMPARE(Cell(rig, 1, 0), std::string("/a"));
}

void MainWindowTest::menuKeyAndShiftF10OpenTheEntryMenuAtTheSelectedRow_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("held");
  QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
  QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
}

void MainWindowTest::menuKeyAndShiftF10OpenTheEntryMenuAtTheSelectedRow() {
  QFETCH(int, key);
  QFETCH(int, held);
  MainWindowRig rig(Entries({{"/a", "", 0}, {"/b", "", 0}, {"/c", "", 0}}));
  rig.StartShown();
  EntryListView& list = *List(rig);
  SelectRow(list, 1);
  list.setFocus();

  QPoint shownAt;
  auto chosen = WhenPopup<QMenu>([&](QMenu& menu) {
    shownAt = menu.pos();
    menu.setActiveAction(menu.actions().at(3));
    QTest::keyClick(&menu, Qt::Key_Return);
  });
  QTest::keyClick(&list, Qt::Key(key), Qt::KeyboardModifiers(held));
  QTRY_VERIFY(*chosen);
  QCOMPARE(shownAt,
           list.viewport()->mapToGlobal(list.visualItemRect(list.topLevelItem(1)).bottomLeft()));
  QTRY_COMPARE(list.RowCount(), 2);
  QCOMPARE(Cell(rig, 0, 0), std::string("/c"));
  QCOMPARE(Cell(rig, 1, 0), std::string("/a"));
}

void MainWindowTest::noRowStaysSelectedAfterAnEntryCommand_data() {
  QTest::addColumn<int>("way");
  QTest::newRow("Delete key") << 0;
  QTest::newRow("Edit") << 1;
  QTest::newRow("Copy") << 2;
  QTest::newRow("drop") << 3;
}

// Qt would move the selection to a neighbouring row: the next Delete would
// then remove an entry the user never picked.
void MainWindowTest::noRowStaysSelectedAfterAnEntryCommand() {
  QFETCH(int, way);
  MainWindowRig rig(Entries({{"/a", "", 0}, {"/b", "", 0}, {"/c", "", 0}}));
  rig.StartShown();
  EntryListView& list = *List(rig);
  SelectRow(list, 1);
  std::shared_ptr<bool> confirmed;
  if (way == 1 || way == 2) {
    confirmed = WhenModal<CEntryDlg>([](CEntryDlg& editor) {
      QTest::mouseClick(editor.findChild<QPushButton*>(QStringLiteral("ctl1")), Qt::LeftButton);
    });
  }
  switch (way) {
    case 0:
      list.setFocus();
      QTest::keyClick(&list, Qt::Key_Delete);
      break;
    case 1:
      MenuAction(*rig.window, MenuCommand::kModifyEntry)->trigger();
      break;
    case 2:
      MenuAction(*rig.window, MenuCommand::kCopyEntry)->trigger();
      break;
    default:
      DropOn(*rig.window, {QUrl::fromLocalFile(QStringLiteral("/dropped"))});
  }
  QVERIFY(!confirmed || *confirmed);
  const int rows = list.RowCount();
  QCOMPARE(list.SelectedRow(), -1);

  list.setFocus();
  QTest::keyClick(&list, Qt::Key_Delete);
  MenuAction(*rig.window, MenuCommand::kCopyEntry)->trigger();
  QCOMPARE(list.RowCount(), rows);
  QCOMPARE(rig.ui.messages.size(), size_t{2});
  QCOMPARE(rig.ui.messages[0].text, std::string("Couldn't delete entry!"));
  QCOMPARE(rig.ui.messages[1].text, std::string("No item specified!"));
}

void MainWindowTest::droppedLocalFilesBecomeEntriesLastOnTop() {
  MainWindowRig rig(Entries({{"/a", "*.tmp", 0}}));
  rig.StartShown();
  const std::string longName = rig.home.Path(std::string(300, 'n') + ".txt");

  QVERIFY(DropOn(*rig.window, {QUrl::fromLocalFile(QStringLiteral("/d/x y.txt")),
                               QUrl::fromLocalFile(QStringLiteral("/d/folder")),
                               QUrl(QStringLiteral("https://example.org/remote.txt")),
                               QUrl(QStringLiteral("file:///d/%FF%FEraw%0Aname")),
                               QUrl::fromLocalFile(QString::fromStdString(longName))}));

  EntryListView& list = *List(rig);
  QCOMPARE(list.RowCount(), 5);
  QCOMPARE(Cell(rig, 0, 0), longName);
  QCOMPARE(Cell(rig, 1, 0), std::string("/d/\xff\xfe"
                                        "raw\nname"));
  QCOMPARE(Cell(rig, 2, 0), std::string("/d/folder"));
  QCOMPARE(Cell(rig, 3, 0), std::string("/d/x y.txt"));
  for (int row = 0; row < 4; ++row) {
    QCOMPARE(Cell(rig, row, 1), std::string());
    QCOMPARE(Cell(rig, row, 2), std::string());
  }

  QVERIFY(!DropOn(*rig.window, {QUrl(QStringLiteral("https://example.org/x"))}));
  QCOMPARE(list.RowCount(), 5);
}

void MainWindowTest::labelEditsTakeTheTextAndAskBeforeRetargetingEverything() {
  MainWindowRig rig(Entries({{"/keep", "*.tmp", 0}, {"/all", "*.*", 1}}));
  rig.StartShown();
  WriteTestFile(rig.home.Path("tmp/untouched.tmp"));
  EntryListView& list = *List(rig);

  EditLabel(list, 1, QStringLiteral("/kept"));
  QCOMPARE(Cell(rig, 1, 0), std::string("/kept"));
  QCOMPARE(Cell(rig, 1, 1), std::string("*.tmp"));
  // Enter ended the edit and did not clean.
  QVERIFY(fs::exists(rig.home.Path("tmp/untouched.tmp")));

  EditLabel(list, 1, QString());
  QCOMPARE(Cell(rig, 1, 0), std::string());
  QCOMPARE(Cell(rig, 1, 2), std::string("No"));

  EditLabel(list, 1, QStringLiteral("/cancelled"), false);
  QCOMPARE(Cell(rig, 1, 0), std::string());
  QVERIFY(!rig.window->HasEnded());  // Escape ended the edit, not the window

  QVERIFY(rig.ui.messages.empty());
  rig.ui.messageAnswers = {MessageAnswer::kCancel, MessageAnswer::kOk};
  EditLabel(list, 0, QStringLiteral("/home/me"));
  QCOMPARE(Cell(rig, 0, 0), std::string("/all"));
  EditLabel(list, 0, QStringLiteral("/home/me"));
  QCOMPARE(Cell(rig, 0, 0), std::string("/home/me"));
  QCOMPARE(Cell(rig, 0, 1), std::string("*.*"));

  QCOMPARE(rig.ui.messages.size(), size_t{2});
  const MessageRequest& question = rig.ui.messages[0];
  QCOMPARE(question.text, std::string("This will delete ALL files under /home/me. Continue?"));
  QCOMPARE(question.caption, std::string("Dustral"));
  QCOMPARE(question.icon, MessageIcon::kQuestion);
  QCOMPARE(question.buttons, MessageButtons::kOkCancelDefaultCancel);
}

void MainWindowTest::enterCleansUnlessAButtonOrTheLabelEditHasTheFocus() {
  MainWindowRig rig(Entries({{"/a", "", 0}}));
  rig.StartShown();
  const std::string junk = rig.home.Path("tmp/junk.tmp");

  WriteTestFile(junk);
  auto* recent = rig.Control<QCheckBox>(ids::kTempBox);
  recent->setFocus();
  QTest::keyClick(recent, Qt::Key_Return);
  QVERIFY(!fs::exists(junk));
  QVERIFY(!rig.window->HasEnded());

  WriteTestFile(junk);
  List(rig)->setFocus();
  QTest::keyClick(List(rig), Qt::Key_Enter, Qt::KeypadModifier);
  QVERIFY(!fs::exists(junk));

  WriteTestFile(junk);
  auto* add = rig.Control<QPushButton>(ids::kAddButton);
  add->setFocus();
  auto opened = WhenModal<CEntryDlg>([](CEntryDlg& editor) { editor.reject(); });
  QTest::keyClick(add, Qt::Key_Return);
  QVERIFY(*opened);
  QVERIFY(fs::exists(junk));
}

void MainWindowTest::everyWayOutSavesOnce_data() {
  QTest::addColumn<int>("way");
  QTest::newRow("Escape") << 0;
  QTest::newRow("close box") << 1;
  QTest::newRow("File Exit") << 2;
  QTest::newRow("Exit button") << 3;
  QTest::newRow("Escape in the list") << 4;
}

void MainWindowTest::everyWayOutSavesOnce() {
  QFETCH(int, way);
  MainWindowRig rig(Entries({{"/old", "", 0}}));
  rig.StartShown();
  DropOn(*rig.window, {QUrl::fromLocalFile(QStringLiteral("/dropped"))});

  switch (way) {
    case 0:
      QTest::keyClick(rig.Control<QWidget>(ids::kRecentBox), Qt::Key_Escape);
      break;
    case 1:
      rig.window->close();
      break;
    case 2:
      MenuAction(*rig.window, MenuCommand::kExit)->trigger();
      break;
    case 3:
      QTest::mouseClick(rig.Control<QPushButton>(ids::kExitButton), Qt::LeftButton);
      break;
    default:
      List(rig)->setFocus();
      QTest::keyClick(List(rig), Qt::Key_Escape);
  }
  QVERIFY(rig.window->HasEnded());
  QVERIFY(!rig.window->isVisible());
  QCOMPARE(StoredNumber(rig, "Number of Items"), std::optional<uint32_t>(2));
  QCOMPARE(StoredText(rig, "Entries", "00000_FilePath"), std::string("/dropped"));
  QCOMPARE(StoredText(rig, "Entries", "00001_FilePath"), std::string("/old"));
  QCOMPARE(StoredNumber(rig, "List Field 1"), std::optional<uint32_t>(300));

  // Once ended, nothing saves again.
  fs::remove(UserRegistryFilePath());
  rig.window->close();
  rig.window->OnCancel();
  QVERIFY(!fs::exists(UserRegistryFilePath()));
}

void MainWindowTest::optionsTakeEffectForTheNextClean() {
  MainWindowRig rig([](const ScopedTestHome& home) {
    return Entries({{home.Path("junk"), "*", 0}});
  });
  rig.StartShown();
  WriteTestFile(rig.home.Path("junk/.hidden"));
  WriteTestFile(rig.home.Path("junk/plain"));

  MenuAction(*rig.window, MenuCommand::kClean)->trigger();
  QVERIFY(!fs::exists(rig.home.Path("junk/plain")));
  QVERIFY(fs::exists(rig.home.Path("junk/.hidden")));

  auto ticked = WhenModal<COptionsDlg>([](COptionsDlg& options) {
    options.findChild<QCheckBox*>(QStringLiteral("ctl1031"))->setChecked(true);
    QTest::mouseClick(options.findChild<QPushButton*>(QStringLiteral("ctl1")), Qt::LeftButton);
  });
  MenuAction(*rig.window, MenuCommand::kOptions)->trigger();
  QVERIFY(*ticked);
  QCOMPARE(rig.window->Settings().m_bDelHiddenFiles, 1);

  QTest::mouseClick(rig.Control<QPushButton>(ids::kCleanButton), Qt::LeftButton);
  QVERIFY(!fs::exists(rig.home.Path("junk/.hidden")));
  QVERIFY(!rig.window->HasEnded());
}

void MainWindowTest::autoCleanRunsDuringStartUp() {
  MainWindowRig rig(Options({{"Auto-clean", 1}}));
  WriteTestFile(rig.home.Path("tmp/junk.tmp"));
  rig.window->OnInitDialog();
  QVERIFY(!fs::exists(rig.home.Path("tmp/junk.tmp")));
  QVERIFY(!rig.window->HasEnded());
}

// Its own taskbar entry and title, minimisable, of fixed size; not a modal
// dialog of a hidden window.
void MainWindowTest::runsAsANormalApplicationWindow() {
  MainWindowRig rig("");
  bool shown = false;
  Qt::WindowType type = Qt::Dialog;
  Qt::WindowModality modality = Qt::ApplicationModal;
  Qt::WindowFlags flags;
  bool transient = true;
  QTimer::singleShot(0, rig.window.get(), [&] {
    CCleanerDlg& window = *rig.window;
    shown = window.isVisible();
    type = window.windowType();
    modality = window.windowModality();
    flags = window.windowFlags();
    transient = window.windowHandle()->transientParent() || QApplication::activeModalWidget();
    QTest::keyClick(&window, Qt::Key_Escape);
  });
  rig.window->DoModal();
  QVERIFY(shown);
  QCOMPARE(type, Qt::Window);
  QCOMPARE(modality, Qt::NonModal);
  QVERIFY(!transient);
  QVERIFY(flags & Qt::WindowMinimizeButtonHint);
  QVERIFY(!(flags & Qt::WindowMaximizeButtonHint));
  QCOMPARE(rig.window->minimumSize(), rig.window->maximumSize());
  QCOMPARE(rig.window->windowTitle(), QStringLiteral("Dustral 95"));
  QVERIFY(rig.window->HasEnded());
  QVERIFY(rig.Stored("Default Settings", "Save settings"));
}

void MainWindowTest::wasteBasketBoxEmptiesTheTrash() {
  MainWindowRig rig(Options({{"Empty Recycle Bin", 1}}));
  const std::string trash = rig.home.Path("data/Trash");
  WriteTestFile(trash + "/files/old report.txt");
  WriteTestFile(trash + "/info/old report.txt.trashinfo");
  WriteTestFile(trash + "/files/desktop.ini");
  WriteTestFile(trash + "/files/folder/inside.txt");
  rig.StartShown();
  QVERIFY(rig.Control<QCheckBox>(static_cast<int>(ControlId::kRecycleBinBox))->isChecked());

  QTest::mouseClick(rig.Control<QPushButton>(ids::kCleanButton), Qt::LeftButton);
  QVERIFY(!fs::exists(trash + "/files/old report.txt"));
  QVERIFY(!fs::exists(trash + "/info/old report.txt.trashinfo"));
  QVERIFY(fs::exists(trash + "/files/desktop.ini"));
  QVERIFY(fs::exists(trash + "/files/folder/inside.txt"));
}

void MainWindowTest::autoCleanWithQuitEndsBeforeTheWindowShows() {
  MainWindowRig rig(Options({{"Auto-clean", 1}, {"Quit after cleaning", 1}}) +
                    Entries({{"/kept/entry", "", 0}}));
  WriteTestFile(rig.home.Path("tmp/junk.tmp"));
  bool shown = false;
  QTimer watchdog;  // should the window wait for input after all
  QObject::connect(&watchdog, &QTimer::timeout, [&] {
    shown = true;
    rig.window->done(QDialog::Rejected);
  });
  watchdog.start(5000);

  rig.window->DoModal();
  QVERIFY(!shown);
  QVERIFY(rig.window->HasEnded());
  QVERIFY(!fs::exists(rig.home.Path("tmp/junk.tmp")));
  QCOMPARE(StoredText(rig, "Entries", "00000_FilePath"), std::string("/kept/entry"));
  QCOMPARE(StoredNumber(rig, "Auto-clean"), std::optional<uint32_t>(1));
}

void MainWindowTest::statusTextsAreDrawnUnderTheWaitCursor() {
  MainWindowRig rig(Entries({{"/nowhere/at/all", "*.x", 1}}));
  rig.StartShown();
  auto* status = rig.Control<QLineEdit>(ids::kStatusLine);

  struct Drawn {
    QString text;
    bool waiting;
  };
  std::vector<Drawn> drawn;
  PaintSpy spy([&] {
    const QCursor* cursor = QApplication::overrideCursor();
    drawn.push_back({status->text(), cursor && cursor->shape() == Qt::WaitCursor});
  });
  status->installEventFilter(&spy);

  QTest::mouseClick(rig.Control<QPushButton>(ids::kCleanButton), Qt::LeftButton);
  status->removeEventFilter(&spy);

  QStringList texts;
  for (const Drawn& each : drawn) {
    texts << each.text;
    QVERIFY2(each.waiting, qPrintable(each.text));
  }
  QVERIFY2(texts.contains("Searching for temp files..."), qPrintable(texts.join('|')));
  QVERIFY(texts.contains("Searching in /nowhere/at/all for files matching *.x"));
  QVERIFY(texts.contains("Cleaning files..."));
  QVERIFY(!QApplication::overrideCursor());
  QTRY_COMPARE(status->text(), QString());
}

void MainWindowTest::helpMenuShowsTheContentsOrSaysWhy() {
  {
    MainWindowRig rig("");
    rig.StartShown();
    MenuAction(*rig.window, MenuCommand::kHelpContents)->trigger();
    QCOMPARE(rig.ui.messages.size(), size_t{1});
    QCOMPARE(rig.ui.messages[0].text, std::string("Failed to launch help."));
    QCOMPARE(rig.ui.messages[0].caption, std::string("dustral"));
    QCOMPARE(rig.ui.messages[0].icon, MessageIcon::kExclamation);
    QVERIFY(!rig.help->Window());
  }
  MainWindowRig rig("");
  rig.StartShown();
  WriteTestFile(rig.HelpFile(),
                "<html><head><title>Dustral Help</title></head><body>"
                "<h1><a name=\"contents\"></a>Contents</h1><p>Ticking a box...</p></body></html>");
  MenuAction(*rig.window, MenuCommand::kHelpContents)->trigger();
  QVERIFY(rig.ui.messages.empty());
  QVERIFY(rig.help->Window());
  QTextBrowser* help = rig.help->Window()->Browser();
  QVERIFY(help->isVisible());
  QCOMPARE(rig.help->Window()->windowTitle(), QStringLiteral("Dustral Help"));
  QCOMPARE(help->source().fragment(), QStringLiteral("contents"));
  QVERIFY(help->toPlainText().contains("Ticking a box"));
}

void MainWindowTest::aboutBoxShowsNameAndIcon() {
  MainWindowRig rig("");
  rig.StartShown();
  QString title;
  QStringList texts;
  bool hasIcon = false;
  auto closed = WhenModal<CAboutDlg>([&](CAboutDlg& about) {
    title = about.windowTitle();
    for (QLabel* label : about.findChildren<QLabel*>()) {
      texts << label->text();
      hasIcon = hasIcon || !label->pixmap().isNull();
    }
    QTest::keyClick(&about, Qt::Key_Escape);
  });
  MenuAction(*rig.window, MenuCommand::kAbout)->trigger();
  QVERIFY(*closed);
  QCOMPARE(title, QStringLiteral("About Dustral"));
  QVERIFY(texts.contains("Dustral Version 1.0b1"));
  QVERIFY(hasIcon);
  QVERIFY(!rig.window->HasEnded());
}

void MainWindowTest::noTwoItemsOfAMenuShareAnAccessKey() {
  MainWindowRig rig("");
  for (QMenu* menu : rig.window->findChild<QMenuBar*>()->findChildren<QMenu*>()) {
    QSet<QChar> keys;
    for (QAction* action : menu->actions()) {
      const QString text = action->text();
      const qsizetype marker = text.indexOf(QLatin1Char('&'));
      QVERIFY2(marker >= 0 && marker + 1 < text.size(), qPrintable(text));
      const QChar key = text.at(marker + 1).toLower();
      QVERIFY2(!keys.contains(key), qPrintable(menu->objectName() + ": " + text));
      keys.insert(key);
    }
  }
}

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QPixmap icon(32, 32);
  icon.fill(Qt::blue);
  QApplication::setWindowIcon(QIcon(icon));
  MainWindowTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_test.moc"
