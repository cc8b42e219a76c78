#include <QAbstractItemModel>
#include <QAction>
#include <QClipboard>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPushButton>
#include <QTest>
#include <QTreeView>

#include <filesystem>

#include "engine/testing/fake_platform.h"
#include "platform/posix/posix_file_system.h"
#include "resources/main_window_template.h"
#include "ui/byte_size_text.h"
#include "ui/clean_plan_model.h"
#include "ui/preview_dialog.h"
#include "ui/testing/main_window_rig.h"
#include "ui/testing/paint_spy.h"
#include "window/memory_controls.h"

namespace fs = std::filesystem;

namespace {

// A wildcard entry on the test home's "junk" folder and, on top of it, an
// entry naming a file that isn't there.
std::string JunkEntries(const ScopedTestHome& home) {
  return "\n[" + ProgramKey("Default Settings") + "]\n\"Number of Items\"=dword:00000002\n[" +
         ProgramKey("Entries") + "]\n\"00000_FilePath\"=" + RegistryQuoted(home.Path("gone")) +
         "\n\"00001_FilePath\"=" + RegistryQuoted(home.Path("junk")) +
         "\n\"00001_WildCard\"=\"*\"\n\"00001_Recurse\"=dword:00000000\n";
}

// Opens the preview from the File menu and runs `act` on it while it is open.
void WithPreview(MainWindowRig& rig, std::function<void(PreviewDialog&)> act) {
  auto done = WhenModal<PreviewDialog>(std::move(act));
  rig.window->findChild<QMenuBar*>()
      ->findChild<QAction*>(QStringLiteral("command%1").arg(int(MenuCommand::kPreview)))
      ->trigger();
  QVERIFY(*done);
}

// The top rows' texts, each followed by its files' cells "path|size|kept".
QStringList Rows(const QAbstractItemModel& model) {
  QStringList rows;
  for (int group = 0; group < model.rowCount(); ++group) {
    const QModelIndex top = model.index(group, 0);
    rows << top.data().toString();
    for (int file = 0; file < model.rowCount(top); ++file) {
      QStringList cells;
      for (int column = 0; column < 3; ++column)
        cells << model.index(file, column, top).data().toString();
      rows << cells.join('|');
    }
  }
  return rows;
}

QString Summary(const PreviewDialog& preview) {
  return preview.findChild<QLabel*>(QStringLiteral("previewSummary"))->text();
}

QPushButton* Button(const PreviewDialog& preview, const char* name) {
  return preview.findChild<QPushButton*>(QString::fromLatin1(name));
}

// The rows of the group at `group`: its heading, then its files' names.
QStringList GroupRows(const QAbstractItemModel& model, int group) {
  const QModelIndex top = model.index(group, 0);
  QStringList rows{top.data().toString()};
  for (int file = 0; file < model.rowCount(top); ++file)
    rows << model.index(file, 0, top).data().toString();
  return rows;
}

void ClickHeader(QTreeView& view, int section) {
  QHeaderView* header = view.header();
  QTest::mouseClick(
      header->viewport(), Qt::LeftButton, {},
      QPoint(header->sectionViewportPosition(section) + header->sectionSize(section) / 2,
             header->height() / 2));
}

}  // namespace

class PreviewDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void sizesReadAsPeopleReadThem_data();
  void sizesReadAsPeopleReadThem();
  void showsTheFilesByGroupWithTotalsAndCloseDeletesNothing();
  void cleanDeletesOnlyTheShownFilesThatStayedTheSame();
  void gatheringNamesItsStepsUnderTheWaitCursor();
  void headersSortAndTheFilterNarrowButCleanTakesTheWholeList();
  void rowMenuOpensTheFolderAndCopiesThePath();
};

void PreviewDialogTest::sizesReadAsPeopleReadThem_data() {
  QTest::addColumn<quint64>("bytes");
  QTest::addColumn<QString>("text");
  QTest::newRow("one") << quint64{1} << "1 byte";
  QTest::newRow("under a kilobyte") << quint64{999} << "999 bytes";
  QTest::newRow("a kilobyte") << quint64{1000} << "1.0 kB (1,000 bytes)";
  QTest::newRow("rounds half up") << quint64{1050} << "1.1 kB (1,050 bytes)";
  QTest::newRow("never 1000.0 kB") << quint64{999950} << "1.0 MB (999,950 bytes)";
  QTest::newRow("megabytes") << quint64{1234567} << "1.2 MB (1,234,567 bytes)";
  QTest::newRow("largest") << ~quint64{0} << "18.4 EB (18,446,744,073,709,551,615 bytes)";
}

void PreviewDialogTest::sizesReadAsPeopleReadThem() {
  QFETCH(quint64, bytes);
  QFETCH(QString, text);
  QCOMPARE(ByteTotalText(bytes), text);
}

void PreviewDialogTest::showsTheFilesByGroupWithTotalsAndCloseDeletesNothing() {
  MainWindowRig rig(JunkEntries);
  const std::string junk = rig.home.Path("junk");
  WriteTestFile(rig.home.Path("tmp/a.tmp"), "abc");
  WriteTestFile(rig.home.Path("tmp/b.tmp"), std::string(1000, 'b'));
  WriteTestFile(junk + "/plain", "1234567");
  WriteTestFile(junk + "/.hidden", "hh");
  rig.StartShown();

  WithPreview(rig, [&](PreviewDialog& preview) {
    QCOMPARE(preview.parentWidget(), rig.window.get());
    QCOMPARE(preview.windowModality(), Qt::WindowModal);
    QVERIFY(!QApplication::overrideCursor());
    auto* view = preview.findChild<QTreeView*>(QStringLiteral("previewFiles"));
    QVERIFY(view->uniformRowHeights());
    QVERIFY(view->isFirstColumnSpanned(1, {}));
    QStringList rows = Rows(*view->model());
    // The order of a folder's files is the system's; only the groups' order is fixed.
    std::sort(rows.begin() + 1, rows.begin() + 3);
    std::sort(rows.begin() + 6, rows.begin() + 8);
    const QString entry = QString::fromStdString(junk);
    const QString gone = QString::fromStdString(rig.home.Path("gone"));
    // Within a group each path starts at the group's folder, which its heading names.
    QCOMPARE(
        rows,
        (QStringList{"Remove Temp Files (" + QString::fromStdString(rig.home.Path("tmp")) +
                         "): 2 files to delete (1.0 kB)",
                     "a.tmp|3 bytes|", "b.tmp|1.0 kB|", gone + ": nothing to delete, 1 left alone",
                     "gone||not found", entry + " (*): 1 file to delete (7 bytes), 1 left alone",
                     ".hidden|2 bytes|hidden", "plain|7 bytes|"}));
    QCOMPARE(view->model()->index(0, 0, view->model()->index(2, 0)).data(Qt::ToolTipRole),
             QVariant(entry + "/.hidden"));
    QCOMPARE(Summary(preview),
             QStringLiteral("3 files would be deleted, freeing 1.0 kB (1,010 "
                            "bytes). 2 files would be left alone: 1 hidden, 1 not found."));
    QTest::mouseClick(Button(preview, "previewClose"), Qt::LeftButton);
  });
  for (const std::string& kept :
       {rig.home.Path("tmp/a.tmp"), rig.home.Path("tmp/b.tmp"), junk + "/plain", junk + "/.hidden"})
    QVERIFY2(fs::exists(kept), kept.c_str());
  QVERIFY(!rig.window->HasEnded());
}

void PreviewDialogTest::cleanDeletesOnlyTheShownFilesThatStayedTheSame() {
  MainWindowRig rig(JunkEntries);
  const std::string junk = rig.home.Path("junk");
  for (const char* name : {"/one", "/two", "/changed"}) WriteTestFile(junk + name, "same");
  rig.StartShown();

  bool stillOpen = false;
  WithPreview(rig, [&](PreviewDialog& preview) {
    WriteTestFile(junk + "/new", "new");
    WriteTestFile(junk + "/changed", "grown since");
    QTest::mouseClick(Button(preview, "previewClean"), Qt::LeftButton);
    QVERIFY(Summary(preview).startsWith("Deleted 2 files, freeing 8 bytes.\n"));
    QVERIFY(Summary(preview).contains("changed or appeared after the preview: 1."));
    QVERIFY(!Button(preview, "previewClean")->isEnabled());
    stillOpen = preview.isVisible();
    QTest::keyClick(&preview, Qt::Key_Escape);
  });
  QVERIFY(stillOpen);
  QVERIFY(!QApplication::activeModalWidget());
  QVERIFY(!fs::exists(junk + "/one"));
  QVERIFY(!fs::exists(junk + "/two"));
  QVERIFY(fs::exists(junk + "/new"));
  QVERIFY(fs::exists(junk + "/changed"));
}

void PreviewDialogTest::gatheringNamesItsStepsUnderTheWaitCursor() {
  MainWindowRig rig(JunkEntries);
  rig.StartShown();
  auto* status = rig.Control<QLineEdit>(main_window_template::kStatusLine);
  QStringList drawn;
  PaintSpy spy([&] {
    const QCursor* cursor = QApplication::overrideCursor();
    const bool waiting = cursor && cursor->shape() == Qt::WaitCursor;
    drawn << status->text() + (waiting ? "" : " (no wait cursor)");
  });
  status->installEventFilter(&spy);
  WithPreview(rig, [](PreviewDialog& preview) { preview.reject(); });
  status->removeEventFilter(&spy);

  QVERIFY2(drawn.contains("Searching in " + QString::fromStdString(rig.home.Path("junk")) +
                          " for files matching *"),
           qPrintable(drawn.join('|')));
  QCOMPARE(status->text(), QString());
}

void PreviewDialogTest::headersSortAndTheFilterNarrowButCleanTakesTheWholeList() {
  MainWindowRig rig(JunkEntries);
  const std::string junk = rig.home.Path("junk");
  WriteTestFile(junk + "/b-big", std::string(30, 'b'));
  WriteTestFile(junk + "/a-small", "a");
  WriteTestFile(junk + "/c-mid", std::string(10, 'c'));
  rig.StartShown();
  const QString entry = QString::fromStdString(junk) + " (*): ";

  WithPreview(rig, [&](PreviewDialog& preview) {
    auto* view = preview.findChild<QTreeView*>(QStringLiteral("previewFiles"));
    const QAbstractItemModel& model = *view->model();
    ClickHeader(*view, CleanPlanModel::kSizeColumn);
    QCOMPARE(GroupRows(model, 2),
             (QStringList{entry + "3 files to delete (41 bytes)", "a-small", "c-mid", "b-big"}));
    ClickHeader(*view, CleanPlanModel::kSizeColumn);
    QCOMPARE(GroupRows(model, 2).mid(1), (QStringList{"b-big", "c-mid", "a-small"}));
    ClickHeader(*view, CleanPlanModel::kFileColumn);
    QCOMPARE(GroupRows(model, 2).mid(1), (QStringList{"a-small", "b-big", "c-mid"}));
    QVERIFY(view->isFirstColumnSpanned(2, {}));

    auto* filterNote = preview.findChild<QLabel*>(QStringLiteral("previewFilterNote"));
    QVERIFY(filterNote->isHidden());
    QTest::keyClicks(preview.findChild<QLineEdit*>(QStringLiteral("previewFilter")), "MID");
    QCOMPARE(GroupRows(model, 2),
             (QStringList{entry + "3 files to delete (41 bytes); 1 of them shown", "c-mid"}));
    QCOMPARE(model.rowCount(model.index(0, 0)), 0);
    QVERIFY(filterNote->isVisibleTo(&preview));
    QVERIFY(filterNote->text().contains("Clean still deletes every file of the list"));

    QTest::mouseClick(Button(preview, "previewClean"), Qt::LeftButton);
    QCOMPARE(GroupRows(model, 2),
             (QStringList{entry + "3 files deleted (41 bytes); 1 of them shown", "c-mid"}));
    QCOMPARE(model.index(1, 0).data().toString(),
             QString::fromStdString(rig.home.Path("gone")) +
                 ": nothing deleted, 1 not found; 0 of them shown");
    QVERIFY(Summary(preview).startsWith("Deleted 3 files, freeing 41 bytes."));
    preview.reject();
  });
  for (const char* name : {"/a-small", "/b-big", "/c-mid"}) QVERIFY(!fs::exists(junk + name));
}

void PreviewDialogTest::rowMenuOpensTheFolderAndCopiesThePath() {
  ScopedTestHome home;
  const std::string junk = home.Path("junk");
  WriteTestFile(junk + "/sub/deep.tmp");
  PosixFileSystem files;
  const CleanLocations locations;
  const CleanSelection selection{{}, locations, {CleanEntry{0, junk, "*", 1}}};
  FakeProgramLauncher launcher;
  NoWaitCursor cursor;
  PreviewDialog preview(GatherCleanPlan(selection, CleanSettings(), files, true), CleanSettings(),
                        files, launcher, cursor, nullptr);
  auto* view = preview.findChild<QTreeView*>(QStringLiteral("previewFiles"));
  const QModelIndex group = view->model()->index(0, 0);
  QCOMPARE(view->model()->index(0, 0, group).data().toString(), QStringLiteral("sub/deep.tmp"));
  QCOMPARE(view->contextMenuPolicy(), Qt::ActionsContextMenu);
  auto* openFolder = view->findChild<QAction*>(QStringLiteral("previewOpenFolder"));
  auto* copyPath = view->findChild<QAction*>(QStringLiteral("previewCopyPath"));
  QCOMPARE(openFolder->text(), QStringLiteral("Open Containing &Folder"));

  view->setCurrentIndex(view->model()->index(0, 0, group));
  openFolder->trigger();
  copyPath->trigger();
  QCOMPARE(QGuiApplication::clipboard()->text(), QString::fromStdString(junk + "/sub/deep.tmp"));
  view->setCurrentIndex(group);
  openFolder->trigger();
  QCOMPARE(launcher.opened, (std::vector<std::string>{junk + "/sub", junk}));
  QVERIFY(fs::exists(junk + "/sub/deep.tmp"));
}

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  PreviewDialogTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "preview_dialog_test.moc"
