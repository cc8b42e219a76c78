#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "app/application_paths.h"
#include "app/cleaner_app.h"
#include "app/help_key_filter.h"
#include "platform/registry_file.h"
#include "platform/registry_location.h"
#include "testing/scoped_test_home.h"
#include "ui/main_window.h"
#include "ui/options_dialog.h"

namespace {

// Runs `act` once the active modal window is a Dialog.
template <class Dialog>
void WhenModal(std::function<void(Dialog&)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, act] {
    if (auto* dialog = qobject_cast<Dialog*>(QApplication::activeModalWidget())) {
      timer->deleteLater();
      timer->stop();
      act(*dialog);
    }
  });
  timer->start();
}

QTextBrowser* HelpWindow() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName() == QStringLiteral("helpWindow") && window->isVisible())
      return qobject_cast<QTextBrowser*>(window);
  return nullptr;
}

}  // namespace

class ApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void nameAndHelpFileFollowTheExecutable_data();
  void nameAndHelpFileFollowTheExecutable();
  void plainF1AnywhereAsksForHelp();
  void theProgramRunsItsWindowAndHelpsFromEveryDialog();
};

void ApplicationTest::nameAndHelpFileFollowTheExecutable_data() {
  QTest::addColumn<QString>("executable");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("help");
  QTest::newRow("installed") << "/usr/bin/dustral" << "dustral" << "/usr/bin/dustral.HLP";
  QTest::newRow("renamed") << "/opt/x/sweeper" << "sweeper" << "/opt/x/sweeper.HLP";
  QTest::newRow("extension") << "/w/DUSTRAL.EXE" << "DUSTRAL" << "/w/DUSTRAL.HLP";
  QTest::newRow("dots") << "/w/my.clean.er" << "my.clean" << "/w/my.clean.HLP";
  QTest::newRow("spaces") << "/a b/-dus tral" << "-dus tral" << "/a b/-dus tral.HLP";
}

void ApplicationTest::nameAndHelpFileFollowTheExecutable() {
  QFETCH(QString, executable);
  QFETCH(QString, name);
  QFETCH(QString, help);
  QCOMPARE(QString::fromStdString(ApplicationNameOf(executable.toStdString())), name);
  QCOMPARE(QString::fromStdString(HelpFileOf(executable.toStdString()).string()), help);
}

void ApplicationTest::plainF1AnywhereAsksForHelp() {
  int asked = 0;
  HelpKeyFilter filter([&asked] { ++asked; });
  qApp->installEventFilter(&filter);
  QLineEdit typing;  // any widget of any window of the program
  typing.show();

  QTest::keyClick(&typing, Qt::Key_F1);
  QCOMPARE(asked, 1);
  QCOMPARE(typing.text(), QString());  // the key went no further

  for (Qt::KeyboardModifier held : {Qt::ShiftModifier, Qt::ControlModifier, Qt::AltModifier})
    QTest::keyClick(&typing, Qt::Key_F1, held);
  QTest::keyClick(&typing, Qt::Key_F2);
  QTest::keyClick(&typing, Qt::Key_A);
  QCOMPARE(asked, 1);
  QCOMPARE(typing.text(), QStringLiteral("a"));
  qApp->removeEventFilter(&filter);
}

void ApplicationTest::theProgramRunsItsWindowAndHelpsFromEveryDialog() {
  ScopedTestHome home;
  const std::string executable = home.Path("bin/sweeper");
  WriteTestFile(executable);
  WriteTestFile(home.Path("bin/sweeper.HLP"),
                "<html><body><a name=\"contents\"></a>Help for the sweeper</body></html>");
  CCleanerApp program(executable);
  QCOMPARE(program.ApplicationName(), std::string("sweeper"));

  bool helpedMain = false;
  bool helpedOptions = false;
  WhenModal<CCleanerDlg>([&](CCleanerDlg& window) {
    QTest::keyClick(&window, Qt::Key_F1, Qt::ControlModifier);
    QVERIFY(!HelpWindow());
    QTest::keyClick(&window, Qt::Key_F1);
    helpedMain = HelpWindow() && HelpWindow()->toPlainText().contains("sweeper");
    HelpWindow()->close();

    WhenModal<COptionsDlg>([&](COptionsDlg& options) {
      QTest::keyClick(&options, Qt::Key_F1);
      // Owned by the options dialog, so that it stays usable while that is open.
      helpedOptions = HelpWindow() && HelpWindow()->parentWidget() == &options;
      options.reject();
      QTimer::singleShot(0, &window, [&window] { window.close(); });
    });
    window.OnOptions();
  });
  QCOMPARE(program.InitInstance(), 0);
  QVERIFY(helpedMain);
  QVERIFY(helpedOptions);
  // Saved on closing, under the name the executable has.
  QVERIFY(RegistryFile::Load(UserRegistryFilePath())
              .QueryValue(RegistryRoot::kCurrentUser,
                          "Software\\Orlemont Software\\sweeper\\Default Settings",
                          "Save settings"));
}

QTEST_MAIN(ApplicationTest)
#include "application_test.moc"
