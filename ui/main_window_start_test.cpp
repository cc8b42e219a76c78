#include "ui/testing/main_window_test_support.h"

using namespace main_window_test;

// The main window's start-up and every way out of it.
class MainWindowStartTest : public QObject {
  Q_OBJECT

 private slots:
  void startUpShowsDiscoveryAndStoredSettings();
  void everyWayOutSavesOnce_data();
  void everyWayOutSavesOnce();
  void autoCleanRunsDuringStartUp();
  void runsAsANormalApplicationWindow();
  void autoCleanWithQuitEndsBeforeTheWindowShows();
};

void MainWindowStartTest::startUpShowsDiscoveryAndStoredSettings() {
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
  QCOMPARE(Cell(rig, 0, 0), std::string("/a"));  // in the stored order
  QCOMPARE(Cell(rig, 0, 1), std::string("*.tmp"));
  QCOMPARE(Cell(rig, 0, 2), std::string("No"));
  QCOMPARE(Cell(rig, 1, 0), std::string("/b/file"));
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

void MainWindowStartTest::everyWayOutSavesOnce_data() {
  QTest::addColumn<int>("way");
  QTest::newRow("Escape") << 0;
  QTest::newRow("close box") << 1;
  QTest::newRow("File Exit") << 2;
  QTest::newRow("Exit button") << 3;
  QTest::newRow("Escape in the list") << 4;
  QTest::newRow("Ctrl+Q") << 5;
}

void MainWindowStartTest::everyWayOutSavesOnce() {
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
    case 4:
      List(rig)->setFocus();
      QTest::keyClick(List(rig), Qt::Key_Escape);
      break;
    default:
      rig.window->activateWindow();
      QVERIFY(QTest::qWaitForWindowActive(rig.window.get()));
      QTest::keyClick(rig.Control<QWidget>(ids::kRecentBox), Qt::Key_Q, Qt::ControlModifier);
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

void MainWindowStartTest::autoCleanRunsDuringStartUp() {
  MainWindowRig rig(Options({{"Auto-clean", 1}}));
  WriteTestFile(rig.home.Path("tmp/junk.tmp"));
  rig.window->OnInitDialog();
  QVERIFY(!fs::exists(rig.home.Path("tmp/junk.tmp")));
  QVERIFY(!rig.window->HasEnded());
}

// Its own taskbar entry and title, minimisable, of fixed size; not a modal
// dialog of a hidden window.
void MainWindowStartTest::runsAsANormalApplicationWindow() {
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

void MainWindowStartTest::autoCleanWithQuitEndsBeforeTheWindowShows() {
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

int main(int argc, char* argv[]) {
  QApplication application(argc, argv);
  QPixmap icon(32, 32);
  icon.fill(Qt::blue);
  QApplication::setWindowIcon(QIcon(icon));
  MainWindowStartTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_start_test.moc"
