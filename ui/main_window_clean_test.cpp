#include "ui/testing/main_window_test_support.h"

using namespace main_window_test;

// Cleaning from the main window: its keys, options, the waste basket and
// the status line.
class MainWindowCleanTest : public QObject {
  Q_OBJECT

 private slots:
  void enterCleansUnlessAButtonOrTheListHasTheFocus();
  void optionsTakeEffectForTheNextClean();
  void wasteBasketBoxEmptiesTheTrash();
  void statusTextsAreDrawnUnderTheWaitCursor();
};

void MainWindowCleanTest::enterCleansUnlessAButtonOrTheListHasTheFocus() {
  MainWindowRig rig(Entries({{"/a", "", 0}}));
  rig.StartShown();
  const std::string junk = rig.home.Path("tmp/junk.tmp");

  WriteTestFile(junk);
  auto* recent = rig.Control<QCheckBox>(ids::kTempBox);
  recent->setFocus();
  QTest::keyClick(recent, Qt::Key_Return);
  QVERIFY(!fs::exists(junk));
  QVERIFY(!rig.window->HasEnded());

  // In the list Enter opens the selected row; with none it does nothing.
  WriteTestFile(junk);
  List(rig)->clearSelection();
  List(rig)->setFocus();
  QTest::keyClick(List(rig), Qt::Key_Enter, Qt::KeypadModifier);
  QTest::keyClick(List(rig), Qt::Key_Return);
  QVERIFY(fs::exists(junk));
  QVERIFY(rig.ui.messages.empty());

  WriteTestFile(junk);
  auto* add = rig.Control<QPushButton>(ids::kAddButton);
  add->setFocus();
  auto opened = WhenModal<CEntryDlg>([](CEntryDlg& editor) { editor.reject(); });
  QTest::keyClick(add, Qt::Key_Return);
  QVERIFY(*opened);
  QVERIFY(fs::exists(junk));
}

void MainWindowCleanTest::optionsTakeEffectForTheNextClean() {
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

void MainWindowCleanTest::wasteBasketBoxEmptiesTheTrash() {
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

void MainWindowCleanTest::statusTextsAreDrawnUnderTheWaitCursor() {
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

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QPixmap icon(32, 32);
  icon.fill(Qt::blue);
  QApplication::setWindowIcon(QIcon(icon));
  MainWindowCleanTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_clean_test.moc"
