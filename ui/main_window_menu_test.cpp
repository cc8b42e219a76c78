#include "ui/testing/main_window_test_support.h"

using namespace main_window_test;

// The main window's Help and About, and its menus' access keys.
class MainWindowMenuTest : public QObject {
  Q_OBJECT

 private slots:
  void helpMenuShowsTheContentsOrSaysWhy();
  void aboutBoxShowsNameAndIcon();
  void noTwoItemsOfAMenuShareAnAccessKey();
};

void MainWindowMenuTest::helpMenuShowsTheContentsOrSaysWhy() {
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

void MainWindowMenuTest::aboutBoxShowsNameAndIcon() {
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

void MainWindowMenuTest::noTwoItemsOfAMenuShareAnAccessKey() {
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
  MainWindowMenuTest test;
  return QTest::qExec(&test, argc, argv);
}

#include "main_window_menu_test.moc"
