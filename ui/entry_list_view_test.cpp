#include <QApplication>
#include <QLineEdit>
#include <QSignalSpy>
#include <QTest>

#include "ui/entry_list_view.h"

class EntryListViewTest : public QObject {
  Q_OBJECT

 private slots:
  void rowsHoldBytesAndGoWhereAsked();
  void noRowIsSelectedOnceRowsComeOrGo();
  void wholePathsAndHeadingsShowAsTooltips();
  void columnsExistOnceCreated();
  void onlyThePathIsEditedAndAnUnchangedEditKeepsItsBytes();
};

namespace {

// Edits row 0's path in place and confirms; `type` replaces the text when set.
void ConfirmEdit(EntryListView& list, const QString* type) {
  list.setCurrentItem(list.topLevelItem(0));
  list.editItem(list.topLevelItem(0), 0);
  auto* editor = list.viewport()->findChild<QLineEdit*>();
  QVERIFY(editor);
  if (type) editor->setText(*type);
  QTest::keyClick(editor, Qt::Key_Return);
  QTRY_VERIFY(!list.IsEditingLabel());
}

}  // namespace

void EntryListViewTest::rowsHoldBytesAndGoWhereAsked() {
  EntryListView list;
  const std::string strange = "/x/\xff\xfe-\n\\ " + std::string(400, 'q');
  QCOMPARE(list.InsertRow(0, "/first"), 0);
  QCOMPARE(list.InsertRow(0, strange), 0);
  QCOMPARE(list.InsertRow(3, "/too far"), -1);
  QCOMPARE(list.InsertRow(-1, "/before"), -1);
  QVERIFY(list.SetCellText(0, 1, "*.\xff"));
  QVERIFY(!list.SetCellText(0, 3, "x"));
  QVERIFY(!list.SetCellText(2, 0, "x"));

  QCOMPARE(list.RowCount(), 2);
  QCOMPARE(list.CellText(0, 0), std::optional<std::string>(strange));
  QCOMPARE(list.CellText(0, 1), std::optional<std::string>("*.\xff"));
  QCOMPARE(list.CellText(0, 2), std::optional<std::string>(""));
  QCOMPARE(list.CellText(1, 0), std::optional<std::string>("/first"));
  QCOMPARE(list.CellText(2, 0), std::nullopt);
  QCOMPARE(list.CellText(-1, 0), std::nullopt);

  QCOMPARE(list.SelectedRow(), -1);
  list.topLevelItem(1)->setSelected(true);
  QCOMPARE(list.SelectedRow(), 1);
  QVERIFY(!list.DeleteRow(2));
  QCOMPARE(list.SelectedRow(), 1);
}

// Qt hands the selection of a removed row to its neighbour; the next
// Delete would then remove an entry nobody picked.
void EntryListViewTest::noRowIsSelectedOnceRowsComeOrGo() {
  EntryListView list;
  for (int column : {0, 1, 2}) list.InsertColumn(column, "Heading", 50);
  for (const char* path : {"/c", "/b", "/a"}) list.InsertRow(0, path);
  const auto select = [&list](int row) {
    list.setCurrentItem(list.topLevelItem(row));
    list.topLevelItem(row)->setSelected(true);
    QCOMPARE(list.SelectedRow(), row);
  };
  select(1);
  QVERIFY(list.DeleteRow(1));
  QCOMPARE(list.SelectedRow(), -1);
  select(0);
  QVERIFY(list.DeleteRow(1));  // another row than the selected one
  QCOMPARE(list.SelectedRow(), -1);
  select(0);
  QCOMPARE(list.InsertRow(0, "/new"), 0);
  for (int r = 0; r < list.topLevelItemCount(); ++r)
    qWarning() << r << list.topLevelItem(r)->isSelected()
               << list.selectionModel()->isRowSelected(r);
  QCOMPARE(list.SelectedRow(), -1);
}

void EntryListViewTest::wholePathsAndHeadingsShowAsTooltips() {
  EntryListView list;
  list.InsertColumn(0, "File/Path", 300);
  list.InsertColumn(1, "WildCard", 50);
  list.InsertColumn(2, "Recurse", 50);
  const std::string longPath = "/home/me/" + std::string(200, 'd') + "/notes.txt";
  list.InsertRow(0, longPath);
  list.SetCellText(0, 1, "*.tmp");
  for (int column : {0, 1, 2})
    QCOMPARE(list.topLevelItem(0)->toolTip(column), QString::fromStdString(longPath));
  QCOMPARE(list.headerItem()->toolTip(1), QStringLiteral("WildCard"));
  QCOMPARE(list.headerItem()->toolTip(2), QStringLiteral("Recurse"));
  QCOMPARE(list.ColumnWidth(1), std::optional<int>(50));  // the stored width stays
}

void EntryListViewTest::columnsExistOnceCreated() {
  EntryListView list;
  QCOMPARE(list.ColumnWidth(0), std::nullopt);
  list.InsertColumn(0, "File/Path", 123);
  list.InsertColumn(1, "WildCard", 45);
  QCOMPARE(list.columnCount(), 2);
  QCOMPARE(list.ColumnWidth(0), std::optional<int>(123));
  QCOMPARE(list.ColumnWidth(1), std::optional<int>(45));
  QCOMPARE(list.ColumnWidth(2), std::nullopt);
  QCOMPARE(list.headerItem()->text(1), QStringLiteral("WildCard"));
}

void EntryListViewTest::onlyThePathIsEditedAndAnUnchangedEditKeepsItsBytes() {
  EntryListView list;
  list.InsertColumn(0, "File/Path", 200);
  list.InsertColumn(1, "WildCard", 50);
  list.InsertRow(0, "/x/\xff");
  list.SetCellText(0, 1, "*.tmp");
  list.show();
  QVERIFY(QTest::qWaitForWindowExposed(&list));
  QSignalSpy ended(&list, &EntryListView::labelEditEnded);

  list.editItem(list.topLevelItem(0), 1);
  QVERIFY(!list.IsEditingLabel());

  ConfirmEdit(list, nullptr);
  QCOMPARE(ended.size(), 1);
  QCOMPARE(ended[0][0].toInt(), 0);
  QCOMPARE(ended[0][1].toByteArray(), QByteArray("/x/\xff"));
  // The list reports the edit; it takes nothing by itself.
  QCOMPARE(list.CellText(0, 0), std::optional<std::string>("/x/\xff"));

  const QString typed = QStringLiteral("/new päth");
  ConfirmEdit(list, &typed);
  QCOMPARE(ended.size(), 2);
  QCOMPARE(ended[1][1].toByteArray(), QByteArray("/new p\xc3\xa4th"));
}

QTEST_MAIN(EntryListViewTest)
#include "entry_list_view_test.moc"
