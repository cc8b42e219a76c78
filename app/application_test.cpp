#include <QAction>
#include <QApplication>
#include <QLineEdit>
#include <QTest>
#include <QTextBrowser>
#include <QTimer>

#include "app/application_paths.h"
#include "app/cleaner_app.h"
#include "app/help_key_filter.h"
#include "app/startup_sources.h"
#include "platform/posix/registry_file_io.h"
#include "platform/posix/registry_location.h"
#include "platform/registry_file.h"
#include "testing/scoped_test_home.h"
#include "ui/help_window.h"
#include "ui/main_window.h"
#include "ui/options_dialog.h"

namespace {

// Runs `act` once `find` finds the Window.
template <class Window>
void WhenOpen(std::function<QWidget*()> find, std::function<void(Window&)> act) {
  auto* timer = new QTimer;
  timer->setInterval(10);
  QObject::connect(timer, &QTimer::timeout, [timer, find, act] {
    if (auto* window = qobject_cast<Window*>(find())) {
      timer->deleteLater();
      timer->stop();
      act(*window);
    }
  });
  timer->start();
}

// Runs `act` once the active modal window is a Dialog.
template <class Dialog>
void WhenModal(std::function<void(Dialog&)> act) {
  WhenOpen<Dialog>([] { return QApplication::activeModalWidget(); }, std::move(act));
}

QWidget* ShownMainWindow() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (qobject_cast<CCleanerDlg*>(window) && window->isVisible()) return window;
  return nullptr;
}

HelpWindow* ShownHelpWindow() {
  for (QWidget* window : QApplication::topLevelWidgets())
    if (window->objectName() == QStringLiteral("helpWindow") && window->isVisible())
      return qobject_cast<HelpWindow*>(window);
  return nullptr;
}

// Counts the times a window was blocked by a modal dialog.
class BlockSpy : public QObject {
 public:
  bool eventFilter(QObject*, QEvent* event) override {
    if (event->type() == QEvent::WindowBlocked) ++blocked;
    return false;
  }
  int blocked = 0;
};

}  // namespace

class ApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void nameAndHelpFileFollowTheExecutable_data();
  void nameAndHelpFileFollowTheExecutable();
  void theBuiltProgramFindsItsHelpInItsDataFolder();
  void plainF1AnywhereAsksForHelp();
  void theProgramRunsItsWindowAndHelpsFromEveryDialog();
};

void ApplicationTest::nameAndHelpFileFollowTheExecutable_data() {
  QTest::addColumn<QString>("executable");
  QTest::addColumn<QString>("name");
  QTest::addColumn<QString>("help");
  QTest::addColumn<QString>("installedHelp");
  QTest::newRow("installed") << "/usr/bin/dustral"
                             << "dustral"
                             << "/usr/bin/dustral.HLP"
                             << "/usr/share/dustral/dustral.html";
  QTest::newRow("renamed") << "/opt/x/sweeper"
                           << "sweeper"
                           << "/opt/x/sweeper.HLP"
                           << "/opt/share/dustral/sweeper.html";
  QTest::newRow("extension") << "/w/DUSTRAL.EXE"
                             << "DUSTRAL"
                             << "/w/DUSTRAL.HLP"
                             << "/share/dustral/DUSTRAL.html";
  QTest::newRow("dots") << "/w/my.clean.er"
                        << "my.clean"
                        << "/w/my.clean.HLP"
                        << "/share/dustral/my.clean.html";
  QTest::newRow("spaces") << "/a b/-dus tral"
                          << "-dus tral"
                          << "/a b/-dus tral.HLP"
                          << "/share/dustral/-dus tral.html";
}

void ApplicationTest::nameAndHelpFileFollowTheExecutable() {
  QFETCH(QString, executable);
  QFETCH(QString, name);
  QFETCH(QString, help);
  QFETCH(QString, installedHelp);
  QCOMPARE(QString::fromStdString(ApplicationNameOf(executable.toStdString())), name);
  QCOMPARE(QString::fromStdString(HelpFileOf(executable.toStdString()).string()), help);
  const auto candidates = HelpFileCandidates(executable.toStdString(), "../share/dustral");
  QCOMPARE(candidates.size(), size_t{2});
  QCOMPARE(QString::fromStdString(candidates[0].string()), help);
  QCOMPARE(QString::fromStdString(candidates[1].string()), installedHelp);
}

void ApplicationTest::theBuiltProgramFindsItsHelpInItsDataFolder() {
  const std::filesystem::path help = FindHelpFile(DUSTRAL_EXECUTABLE);
  QVERIFY(std::filesystem::is_regular_file(help));
  QCOMPARE(QString::fromStdString(help.filename().string()), QStringLiteral("dustral.html"));
  QCOMPARE(QString::fromStdString(help.parent_path().parent_path().filename().string()),
           QStringLiteral("share"));
}

void ApplicationTest::plainF1AnywhereAsksForHelp() {
  int asked = 0;
  HelpKeyFilter filter([&asked](QWidget*) { ++asked; });
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
  BlockSpy helpBlocked;
  WhenOpen<CCleanerDlg>(ShownMainWindow, [&](CCleanerDlg& window) {
    QTest::keyClick(&window, Qt::Key_F1, Qt::ControlModifier);
    QVERIFY(!ShownHelpWindow());
    QTest::keyClick(&window, Qt::Key_F1);
    helpedMain = ShownHelpWindow() &&
                 ShownHelpWindow()->Browser()->toPlainText().contains("sweeper") &&
                 ShownHelpWindow()->Browser()->source().fragment() == "window";
    ShownHelpWindow()->installEventFilter(&helpBlocked);

    WhenModal<COptionsDlg>([&](COptionsDlg& options) {
      QTest::keyClick(&options, Qt::Key_F1);
      helpedOptions = ShownHelpWindow() && options.isVisible() &&
                      ShownHelpWindow()->Browser()->source().fragment() == "options";
      options.reject();
      QTimer::singleShot(0, &window, [&window] { window.close(); });
    });
    window.OnOptions();
  });
  StartupSources sources(program.ApplicationName());
  QCOMPARE(program.InitInstance(sources), 0);
  QVERIFY(helpedMain);
  QVERIFY(helpedOptions);
  // The options dialog blocks the main window only: the help stays usable.
  QCOMPARE(helpBlocked.blocked, 0);
  // Saved on closing, under the name the executable has.
  QVERIFY(LoadRegistryFile(UserRegistryFilePath())
              .QueryValue(RegistryRoot::kCurrentUser,
                          "Software\\Orlemont Software\\sweeper\\Default Settings",
                          "Save settings"));
}

QTEST_MAIN(ApplicationTest)
#include "application_test.moc"
