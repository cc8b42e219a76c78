#include <QApplication>
#include <QLineEdit>
#include <QTest>

#include "app/application_paths.h"
#include "app/help_key_filter.h"

class ApplicationTest : public QObject {
  Q_OBJECT

 private slots:
  void nameAndHelpFileFollowTheExecutable_data();
  void nameAndHelpFileFollowTheExecutable();
  void plainF1AnywhereAsksForHelp();
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

QTEST_MAIN(ApplicationTest)
#include "application_test.moc"
