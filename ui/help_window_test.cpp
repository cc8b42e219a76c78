#include <QAction>
#include <QLineEdit>
#include <QScreen>
#include <QTest>
#include <QTextBrowser>
#include <QTextCursor>

#include <memory>

#include "testing/scoped_test_home.h"
#include "ui/about_dialog.h"
#include "ui/help_sections.h"
#include "ui/help_viewer.h"
#include "ui/help_window.h"
#include "ui/testing/fake_ui_services.h"
#include "ui/testing/qt_test_main.h"

class HelpWindowTest : public QObject {
  Q_OBJECT

 private slots:
  void placedWhollyOnTheScreen_data();
  void placedWhollyOnTheScreen();
  void outlivesTheDialogThatOpenedItAndClosesWithItsKeys();
  void backForwardAndHome();
  void findsTextWithCtrlFAndF3GoingRoundTheEnd();
  void eachWindowHasItsSection();
};

void HelpWindowTest::findsTextWithCtrlFAndF3GoingRoundTheEnd() {
  HelpWindow window;
  window.Browser()->setHtml(QStringLiteral("<p>dust one</p><p>other</p><p>dust two</p>"));
  window.show();
  QVERIFY(QTest::qWaitForWindowActive(&window));
  QVERIFY(!window.FindEdit()->isVisible());
  QTest::keyClick(&window, Qt::Key_F, Qt::ControlModifier);
  QVERIFY(window.FindEdit()->isVisible());
  QTest::keyClicks(window.FindEdit(), QStringLiteral("dust"));
  const auto matchAt = [&window] { return window.Browser()->textCursor().selectionStart(); };
  const int first = matchAt();
  QCOMPARE(window.Browser()->textCursor().selectedText(), QStringLiteral("dust"));
  QTest::keyClick(&window, Qt::Key_F3);
  const int second = matchAt();
  QVERIFY(second > first);
  QTest::keyClick(&window, Qt::Key_F3);  // round the end
  QCOMPARE(matchAt(), first);
  QTest::keyClick(&window, Qt::Key_F3, Qt::ShiftModifier);  // and back
  QCOMPARE(matchAt(), second);
  window.FindEdit()->setText(QStringLiteral("nowhere"));
  QVERIFY(!window.FindAgain());
  // Escape closes the find bar first, then the window.
  QTest::keyClick(&window, Qt::Key_Escape);
  QVERIFY(!window.FindEdit()->isVisible());
  QVERIFY(window.isVisible());
  QTest::keyClick(&window, Qt::Key_Escape);
  QVERIFY(!window.isVisible());
}

void HelpWindowTest::eachWindowHasItsSection() {
  CAboutDlg about;
  QWidget other;
  QCOMPARE(HelpSectionOf(&about), QStringLiteral("about"));
  QCOMPARE(HelpSectionOf(&other), QStringLiteral("contents"));
  QCOMPARE(HelpSectionOf(nullptr), QStringLiteral("contents"));
}

void HelpWindowTest::placedWhollyOnTheScreen_data() {
  QTest::addColumn<QRect>("owner");
  QTest::addColumn<QRect>("expected");
  // A 640x560 window with a frame of 5 on the sides and 25 on top, on a
  // screen of 1280x800.
  QTest::newRow("centred over its owner") << QRect(300, 100, 600, 500) << QRect(279, 69, 640, 560);
  QTest::newRow("owner at the bottom right")
      << QRect(1100, 700, 600, 500) << QRect(635, 235, 640, 560);
  QTest::newRow("owner off the top left") << QRect(-400, -300, 200, 100) << QRect(5, 25, 640, 560);
}

void HelpWindowTest::placedWhollyOnTheScreen() {
  QFETCH(QRect, owner);
  QFETCH(QRect, expected);
  const QMargins frame(5, 25, 5, 5);
  QCOMPARE(PlaceOnScreen({640, 560}, frame, owner, QRect(0, 0, 1280, 800)), expected);
  // A screen smaller than the window: it shrinks to fit.
  QCOMPARE(PlaceOnScreen({640, 560}, frame, owner, QRect(0, 0, 600, 400)), QRect(5, 25, 590, 370));
}

void HelpWindowTest::outlivesTheDialogThatOpenedItAndClosesWithItsKeys() {
  ScopedTestHome home;
  WriteTestFile(home.Path("dustral.HLP"),
                "<html><head><title>Dustral Help</title></head><body>"
                "<a name=\"contents\"></a>Contents</body></html>");
  FakeUiServices ui;
  HelpViewer viewer(home.Path("dustral.HLP"), "dustral", ui);
  QScreen* screen = QGuiApplication::primaryScreen();
  {
    auto about = std::make_unique<CAboutDlg>();
    about->move(screen->availableGeometry().bottomRight() - QPoint(50, 50));
    about->show();
    QVERIFY(QTest::qWaitForWindowExposed(about.get()));
    viewer.ShowContents(about.get());
  }  // the About box is closed and gone
  QVERIFY(ui.messages.empty());
  HelpWindow* window = viewer.Window();
  QVERIFY(window);
  QVERIFY(window->isVisible());
  QVERIFY(screen->availableGeometry().contains(window->frameGeometry()));

  QVERIFY(QTest::qWaitForWindowActive(window));
  QTest::keyClick(window->Browser(), Qt::Key_Escape);
  QVERIFY(!window->isVisible());
  viewer.ShowContents(nullptr);
  QVERIFY(window->isVisible());
  QVERIFY(QTest::qWaitForWindowActive(window));
  QTest::keyClick(window->Browser(), Qt::Key_W, Qt::ControlModifier);
  QVERIFY(!window->isVisible());
  QCOMPARE(viewer.Window(), window);  // closed, not destroyed
}

void HelpWindowTest::backForwardAndHome() {
  ScopedTestHome home;
  WriteTestFile(home.Path("dustral.HLP"),
                "<html><body><a name=\"contents\"></a><a href=\"#usage\">Usage</a>"
                "<p>...</p><a name=\"usage\"></a>Usage</body></html>");
  FakeUiServices ui;
  HelpViewer viewer(home.Path("dustral.HLP"), "dustral", ui);
  viewer.ShowContents(nullptr);
  HelpWindow& window = *viewer.Window();
  QTextBrowser& text = *window.Browser();
  QVERIFY(!window.BackAction()->isEnabled());

  QUrl usage = text.source();
  usage.setFragment(QStringLiteral("usage"));
  text.setSource(usage);
  QVERIFY(window.BackAction()->isEnabled());
  window.BackAction()->trigger();
  QCOMPARE(text.source().fragment(), QStringLiteral("contents"));
  QVERIFY(window.ForwardAction()->isEnabled());
  window.ForwardAction()->trigger();
  QCOMPARE(text.source().fragment(), QStringLiteral("usage"));
  window.HomeAction()->trigger();
  QCOMPARE(text.source().fragment(), QStringLiteral("contents"));
}

DUSTRAL_QTEST_MAIN(HelpWindowTest)
#include "help_window_test.moc"
