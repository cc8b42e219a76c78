#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTimer>

#include "resources/options_dialog_template.h"
#include "ui/options_dialog.h"
#include "ui/testing/dialog_test_support.h"
#include "ui/testing/fake_ui_services.h"
#include "ui/testing/qt_test_main.h"

using namespace options_dialog;

namespace {

const std::string kWarning =
    "Warning: Auto-clean and auto-quit means that you won't be able to change options again! "
    "Continue?";

// One dialog on screen, with its record and its fake message boxes.
class OpenOptionsDialog {
 public:
  explicit OpenOptionsDialog(CleanSettings start = {})
      : settings(std::move(start)), dialog(&settings, nullptr, services) {
    dialog.show();
    activated = QTest::qWaitForWindowActive(&dialog);
  }

  QCheckBox* box(int id) { return ControlOf<QCheckBox>(dialog, id); }
  QLineEdit* program() { return ControlOf<QLineEdit>(dialog, kProgramEdit); }
  QPushButton* button(int id) { return ControlOf<QPushButton>(dialog, id); }
  void click(int id) { QTest::mouseClick(button(id), Qt::LeftButton); }
  void toggle(int id) {
    QTest::mouseClick(box(id), Qt::LeftButton, {}, QPoint(4, box(id)->height() / 2));
  }
  bool endedWith(QDialog::DialogCode code) {
    return !dialog.isVisible() && dialog.result() == code;
  }

  FakeUiServices services;
  CleanSettings settings;
  COptionsDlg dialog;
  bool activated = false;
};

// Every flag set to a different value from the defaults, so that a flag
// read from or written to the wrong control shows.
CleanSettings Unusual() {
  CleanSettings s;
  s.m_bAutoRun = 1;
  s.m_strExeToRun = "/opt/tools/after clean.sh";
  s.m_bSaveSettings = 0;
  s.m_bQuitAfterCleaning = 1;
  s.m_bDelSystemFiles = 0;
  s.m_bDelReadOnlyFiles = 1;
  s.m_bDelHiddenFiles = 0;
  s.m_bAutoClean = 0;
  return s;
}

}  // namespace

class OptionsDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void showsTheRecord() {
    OpenOptionsDialog d(Unusual());
    QVERIFY(d.activated);
    QCOMPARE(d.dialog.windowTitle(), QString("Dustral Options"));
    QVERIFY(d.box(kAutoRunBox)->isChecked());
    QCOMPARE(d.program()->text(), QString("/opt/tools/after clean.sh"));
    QVERIFY(!d.box(kSaveSettingsBox)->isChecked());
    QVERIFY(d.box(kQuitAfterCleaningBox)->isChecked());
    QVERIFY(!d.box(kSystemFilesBox)->isChecked());
    QVERIFY(d.box(kReadOnlyFilesBox)->isChecked());
    QVERIFY(!d.box(kHiddenFilesBox)->isChecked());
    QVERIFY(!d.box(kAutoCleanBox)->isChecked());
    QCOMPARE(FocusedControl(d.dialog), d.box(kAutoRunBox));

    OpenOptionsDialog defaults;
    QVERIFY(defaults.box(kSaveSettingsBox)->isChecked());
    QVERIFY(!defaults.box(kAutoRunBox)->isChecked());
    QVERIFY(defaults.program()->text().isEmpty());
  }

  void okWritesEveryControl() {
    OpenOptionsDialog d(Unusual());
    for (int id : {kAutoRunBox, kSaveSettingsBox, kQuitAfterCleaningBox, kSystemFilesBox,
                   kReadOnlyFilesBox, kHiddenFilesBox})
      d.toggle(id);
    d.program()->clear();
    d.click(kIdOk);
    QVERIFY(d.endedWith(QDialog::Accepted));
    CleanSettings expected;
    expected.m_bAutoRun = 0;
    expected.m_strExeToRun = "";
    expected.m_bSaveSettings = 1;
    expected.m_bQuitAfterCleaning = 0;
    expected.m_bDelSystemFiles = 1;
    expected.m_bDelReadOnlyFiles = 0;
    expected.m_bDelHiddenFiles = 1;
    expected.m_bAutoClean = 0;
    QCOMPARE(d.settings, expected);
    QVERIFY(d.services.messages.empty());
  }

  void flagsAreStoredAsZeroOrOne() {
    CleanSettings odd;
    odd.m_bDelHiddenFiles = 7;
    odd.m_bSaveSettings = -1;
    OpenOptionsDialog d(odd);
    QVERIFY(d.box(kHiddenFilesBox)->isChecked());
    d.click(kIdOk);
    QCOMPARE(d.settings.m_bDelHiddenFiles, 1);
    QCOMPARE(d.settings.m_bSaveSettings, 1);
  }

  void cancelEscapeAndCloseWriteNothing() {
    for (int way = 0; way < 3; ++way) {
      OpenOptionsDialog d(Unusual());
      d.toggle(kAutoRunBox);
      d.toggle(kHiddenFilesBox);
      QTest::keyClicks(d.program(), " --now");
      if (way == 0) d.click(kIdCancel);
      if (way == 1) QTest::keyClick(d.program(), Qt::Key_Escape);
      if (way == 2) d.dialog.close();
      QVERIFY(d.endedWith(QDialog::Rejected));
      QCOMPARE(d.settings, Unusual());
    }
  }

  void enterIsOk() {
    OpenOptionsDialog d;
    QTest::keyClicks(d.program(), "/usr/bin/true");
    QTest::keyClick(d.program(), Qt::Key_Return);
    QVERIFY(d.endedWith(QDialog::Accepted));
    QCOMPARE(d.settings.m_strExeToRun, std::string("/usr/bin/true"));
    QCOMPARE(d.settings.m_bAutoRun, 0);  // typing does not tick auto-run
  }

  void autoCleanWithQuitAsksEveryTime() {
    OpenOptionsDialog d;
    d.services.messageAnswers = {MessageAnswer::kCancel, MessageAnswer::kOk};
    d.toggle(kAutoCleanBox);
    d.toggle(kQuitAfterCleaningBox);
    d.click(kIdOk);
    QVERIFY(d.dialog.isVisible());
    QCOMPARE(d.services.messages.size(), 1u);
    const MessageRequest& question = d.services.messages[0];
    QCOMPARE(question.text, kWarning);
    QCOMPARE(question.caption, std::string("Dustral"));
    QCOMPARE(question.icon, MessageIcon::kQuestion);
    QCOMPARE(question.buttons, MessageButtons::kOkCancelDefaultCancel);
    QCOMPARE(d.services.messageOwners[0], &d.dialog);
    // Declined: nothing written yet.
    QCOMPARE(d.settings.m_bAutoClean, 0);
    QCOMPARE(d.settings.m_bQuitAfterCleaning, 0);

    d.click(kIdOk);
    QCOMPARE(d.services.messages.size(), 2u);
    QVERIFY(d.endedWith(QDialog::Accepted));
    QCOMPARE(d.settings.m_bAutoClean, 1);
    QCOMPARE(d.settings.m_bQuitAfterCleaning, 1);
  }

  // The user declined the lock-out twice: it must not be stored.
  void declinedWarningThenCancelKeepsTheRecordAsItWas() {
    OpenOptionsDialog d;
    d.services.messageAnswers = {MessageAnswer::kCancel};
    d.toggle(kAutoCleanBox);
    d.toggle(kQuitAfterCleaningBox);
    d.toggle(kSystemFilesBox);
    d.click(kIdOk);
    d.toggle(kHiddenFilesBox);
    d.click(kIdCancel);
    QVERIFY(d.endedWith(QDialog::Rejected));
    QCOMPARE(d.settings.m_bAutoClean, 0);
    QCOMPARE(d.settings.m_bQuitAfterCleaning, 0);
    QCOMPARE(d.settings.m_bDelSystemFiles, 0);
    QCOMPARE(d.settings.m_bDelHiddenFiles, 0);
  }

  void oneOfTheTwoDoesNotAsk() {
    CleanSettings both;
    both.m_bAutoClean = 1;
    both.m_bQuitAfterCleaning = 1;
    OpenOptionsDialog d(both);
    d.toggle(kQuitAfterCleaningBox);
    d.click(kIdOk);
    QVERIFY(d.endedWith(QDialog::Accepted));
    QVERIFY(d.services.messages.empty());
    QCOMPARE(d.settings.m_bAutoClean, 1);
    QCOMPARE(d.settings.m_bQuitAfterCleaning, 0);
  }

  void chooseFillsTheProgramAndTicksAutoRun() {
    OpenOptionsDialog d;
    d.services.fileAnswers = {std::nullopt, std::string("/home/u/bin/-odd name")};
    d.click(kChooseButton);
    QCOMPARE(d.services.fileRequests.size(), 1u);
    QCOMPARE(d.services.fileRequests[0].title, std::string("Select executable to run"));
    const std::vector<std::pair<std::string, std::string>> filters{
        {"Executables (*.exe) ", "*.exe"}, {" All Files (*.*) ", "*.*"}};
    QVERIFY(d.services.fileRequests[0].filters == filters);
    QVERIFY(d.program()->text().isEmpty());
    QVERIFY(!d.box(kAutoRunBox)->isChecked());

    d.click(kChooseButton);
    QCOMPARE(d.program()->text(), QString("/home/u/bin/-odd name"));
    QVERIFY(d.box(kAutoRunBox)->isChecked());
    QCOMPARE(d.services.fileRequests[1].typedPath, std::string());
    d.click(kChooseButton);  // opens where the chosen program lies
    QCOMPARE(d.services.fileRequests[2].typedPath, std::string("/home/u/bin/-odd name"));
    QCOMPARE(d.settings, CleanSettings());  // nothing written before OK
    d.click(kIdCancel);
    QCOMPARE(d.settings, CleanSettings());
  }

  void programNameThatIsNotUtf8SurvivesOk() {
    CleanSettings s;
    s.m_strExeToRun = "/opt/\xff\xfe/run";
    OpenOptionsDialog d(s);
    d.click(kIdOk);
    QCOMPARE(d.settings.m_strExeToRun, std::string("/opt/\xff\xfe/run"));
  }

  void helpAsksTheOwnerAndStaysOpen() {
    OpenOptionsDialog d;
    QSignalSpy help(&d.dialog, &COptionsDlg::helpRequested);
    d.click(kHelpButton);
    QCOMPARE(help.count(), 1);
    QVERIFY(d.dialog.isVisible());
  }

  // "Delete &hidden files" and "&Help" share Alt+H: the key only moves the
  // focus between the two, and Space then presses the one that has it.
  void sharedAccessKeyMovesFocusOnly() {
    OpenOptionsDialog d;
    QSignalSpy help(&d.dialog, &COptionsDlg::helpRequested);
    QTest::keyClick(&d.dialog, Qt::Key_H, Qt::AltModifier);
    QTRY_COMPARE(FocusedControl(d.dialog), d.box(kHiddenFilesBox));
    QTest::keyClick(&d.dialog, Qt::Key_H, Qt::AltModifier);
    QTRY_COMPARE(FocusedControl(d.dialog), d.button(kHelpButton));
    QVERIFY(!d.box(kHiddenFilesBox)->isChecked());
    QCOMPARE(help.count(), 0);
    QTest::keyClick(d.button(kHelpButton), Qt::Key_Space);
    QTRY_COMPARE(help.count(), 1);
  }

  void accessKeysReachTheirControls() {
    OpenOptionsDialog d;
    const std::pair<Qt::Key, int> keys[] = {
        {Qt::Key_A, kAutoRunBox},       {Qt::Key_S, kSystemFilesBox},
        {Qt::Key_R, kReadOnlyFilesBox}, {Qt::Key_H, kHiddenFilesBox},
        {Qt::Key_L, kAutoCleanBox},     {Qt::Key_Q, kQuitAfterCleaningBox},
        {Qt::Key_T, kSaveSettingsBox}};
    for (const auto& [key, id] : keys) {
      if (id == kHiddenFilesBox) continue;  // Alt+H is "&Help"'s as well
      const bool before = d.box(id)->isChecked();
      QTest::keyClick(&d.dialog, key, Qt::AltModifier);
      QTRY_VERIFY2(d.box(id)->isChecked() != before, qPrintable(d.box(id)->text()));
    }
    d.services.fileAnswers = {std::string("/bin/x")};
    QTest::keyClick(&d.dialog, Qt::Key_C, Qt::AltModifier);
    QTRY_COMPARE(d.program()->text(), QString("/bin/x"));
  }

  void controlsSitAsTheTemplatePlacesThem() {
    OpenOptionsDialog d;
    const QRect autoRun = d.box(kAutoRunBox)->geometry();
    const QRect program = d.program()->geometry();
    const QRect choose = d.button(kChooseButton)->geometry();
    QVERIFY(autoRun.bottom() <= program.top() + 1);
    QVERIFY(choose.left() > program.right());
    QVERIFY(qAbs(choose.center().y() - program.center().y()) <= 2);
    int previousBottom = program.bottom();
    for (int id : {kSystemFilesBox, kReadOnlyFilesBox, kHiddenFilesBox, kAutoCleanBox,
                   kQuitAfterCleaningBox, kSaveSettingsBox}) {
      QVERIFY2(d.box(id)->geometry().top() >= previousBottom - 2, qPrintable(d.box(id)->text()));
      QCOMPARE(d.box(id)->geometry().left(), autoRun.left());
      previousBottom = d.box(id)->geometry().bottom();
    }
    const QRect ok = d.button(kIdOk)->geometry();
    const QRect cancel = d.button(kIdCancel)->geometry();
    const QRect help = d.button(kHelpButton)->geometry();
    QVERIFY(ok.top() > previousBottom);
    QCOMPARE(cancel.top(), ok.top());
    QCOMPARE(help.top(), ok.top());
    QVERIFY(ok.right() < cancel.left() && cancel.right() < help.left());
    QVERIFY(d.dialog.rect().contains(help));
    QVERIFY(d.button(kIdOk)->isDefault());

    auto* label = d.dialog.findChild<QLabel*>("item13");
    QCOMPARE(label->text(), QString("Program:"));
    QVERIFY(label->geometry().right() < program.left());

    QCOMPARE(TabChainNames(d.box(kAutoRunBox)),
             QStringList({"ctl1001", "ctl1024", "ctl1012", "ctl1029", "ctl1030", "ctl1031",
                          "ctl1032", "ctl1025", "ctl1026", "ctl1", "ctl2", "ctl1007"}));
  }

  void doModalReturnsWhateverWasWritten() {
    FakeUiServices services;
    CleanSettings settings;
    COptionsDlg dialog(&settings, nullptr, services);
    QTimer::singleShot(0, [&] {
      QTRY_COMPARE(QApplication::activeModalWidget(), &dialog);
      ControlOf<QCheckBox>(dialog, kHiddenFilesBox)->setChecked(true);
      QTest::keyClick(&dialog, Qt::Key_Return);
    });
    QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
    QCOMPARE(settings.m_bDelHiddenFiles, 1);
  }
};

DUSTRAL_QTEST_MAIN(OptionsDialogTest)
#include "options_dialog_test.moc"
