#include "ui/testing/main_window_test_support.h"

using namespace main_window_test;

// The custom entries in the main window: the list, its buttons, menus,
// drops and edits.
class MainWindowEntriesTest : public QObject {
  Q_OBJECT

 private slots:
  void onlyAClickInTheListEnablesTheEntryButtons();
  void buttonsAndMenuItemsReachTheEntryCommands();
  void addAndDoubleClickOpenTheEntryEditor();
  void enterInTheListOpensTheSelectedRowLikeADoubleClick();
  void popUpMenuAtTheCursorActsOnTheSelectedRow();
  void menuKeyAndShiftF10OpenTheEntryMenuAtTheSelectedRow_data();
  void menuKeyAndShiftF10OpenTheEntryMenuAtTheSelectedRow();
  void noRowStaysSelectedAfterAnEntryCommand_data();
  void noRowStaysSelectedAfterAnEntryCommand();
  void droppedLocalFilesBecomeEntriesLastOnTop();
  void labelEditsTakeTheTextAndAskBeforeRetargetingEverything();
};

void MainWindowEntriesTest::onlyAClickInTheListEnablesTheEntryButtons() {
  MainWindowRig rig(Entries({{"/b", "", 0}, {"/a", "", 0}}));
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

void MainWindowEntriesTest::buttonsAndMenuItemsReachTheEntryCommands() {
  MainWindowRig rig(Entries({{"/b", "", 0}, {"/a", "*.bak", 1}}));
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

void MainWindowEntriesTest::enterInTheListOpensTheSelectedRowLikeADoubleClick() {
  MainWindowRig rig([](const ScopedTestHome& home) {
    return Entries({{home.Path("b"), "", 0}, {home.Path("a"), "*.bak", 1}});
  });
  rig.StartShown();
  EntryListView& list = *List(rig);
  WriteTestFile(rig.home.Path("b"));
  list.setFocus();
  SelectRow(list, 1);

  QString shownPath;
  auto opened = WhenModal<CEntryDlg>([&shownPath](CEntryDlg& editor) {
    shownPath = editor.findChild<QLineEdit*>(QStringLiteral("ctl1010"))->text();
    editor.reject();
  });
  QTest::keyClick(&list, Qt::Key_Return);
  QVERIFY(*opened);
  QCOMPARE(shownPath, QString::fromStdString(rig.home.Path("a")));
  QVERIFY(fs::exists(rig.home.Path("b")));  // nothing was cleaned
  QCOMPARE(list.RowCount(), 2);
}

void MainWindowEntriesTest::addAndDoubleClickOpenTheEntryEditor() {
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

void MainWindowEntriesTest::popUpMenuAtTheCursorActsOnTheSelectedRow() {
  MainWindowRig rig(Entries({{"/c", "", 0}, {"/b", "", 0}, {"/a", "", 0}}));
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

void MainWindowEntriesTest::menuKeyAndShiftF10OpenTheEntryMenuAtTheSelectedRow_data() {
  QTest::addColumn<int>("key");
  QTest::addColumn<int>("held");
  QTest::newRow("Menu key") << int(Qt::Key_Menu) << int(Qt::NoModifier);
  QTest::newRow("Shift+F10") << int(Qt::Key_F10) << int(Qt::ShiftModifier);
}

void MainWindowEntriesTest::menuKeyAndShiftF10OpenTheEntryMenuAtTheSelectedRow() {
  QFETCH(int, key);
  QFETCH(int, held);
  MainWindowRig rig(Entries({{"/c", "", 0}, {"/b", "", 0}, {"/a", "", 0}}));
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

void MainWindowEntriesTest::noRowStaysSelectedAfterAnEntryCommand_data() {
  QTest::addColumn<int>("way");
  QTest::newRow("Delete key") << 0;
  QTest::newRow("Edit") << 1;
  QTest::newRow("Copy") << 2;
  QTest::newRow("drop") << 3;
}

// Qt would move the selection to a neighbouring row: the next Delete would
// then remove an entry the user never picked.
void MainWindowEntriesTest::noRowStaysSelectedAfterAnEntryCommand() {
  QFETCH(int, way);
  MainWindowRig rig(Entries({{"/c", "", 0}, {"/b", "", 0}, {"/a", "", 0}}));
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

void MainWindowEntriesTest::droppedLocalFilesBecomeEntriesLastOnTop() {
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

void MainWindowEntriesTest::labelEditsTakeTheTextAndAskBeforeRetargetingEverything() {
  MainWindowRig rig(Entries({{"/all", "*.*", 1}, {"/keep", "*.tmp", 0}}));
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

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QPixmap icon(32, 32);
  icon.fill(Qt::blue);
  QApplication::setWindowIcon(QIcon(icon));
  MainWindowEntriesTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_entries_test.moc"
