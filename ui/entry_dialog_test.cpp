#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include "resources/entry_dialog_template.h"
#include "ui/entry_dialog.h"
#include "ui/testing/dialog_test_support.h"
#include "ui/testing/fake_ui_services.h"
#include "ui/testing/qt_test_main.h"

using namespace entry_dialog;

namespace {

const QStringList kStandardWildcards{"*.*", "*.tmp", "*.bak", "*.old"};

QStringList ItemsOf(const QComboBox& box) {
  QStringList items;
  for (int i = 0; i < box.count(); ++i) items << box.itemText(i);
  return items;
}

// One dialog on screen, with its record and its fake message boxes.
class OpenEntryDialog {
 public:
  explicit OpenEntryDialog(CleanEntry start = {}, EntryEditMode editMode = EntryEditMode::kAdd)
      : entry(std::move(start)), dialog(&entry, editMode, nullptr, services) {
    dialog.show();
    activated = QTest::qWaitForWindowActive(&dialog);
  }

  QRadioButton* individual() { return ControlOf<QRadioButton>(dialog, kIndividualRadio); }
  QRadioButton* wildcardMode() { return ControlOf<QRadioButton>(dialog, kWildcardRadio); }
  QLineEdit* fileEdit() { return ControlOf<QLineEdit>(dialog, kFileEdit); }
  QLineEdit* pathEdit() { return ControlOf<QLineEdit>(dialog, kPathEdit); }
  QComboBox* wildcards() { return ControlOf<QComboBox>(dialog, kWildcardBox); }
  QCheckBox* recurse() { return ControlOf<QCheckBox>(dialog, kRecurseBox); }
  QPushButton* button(int id) { return ControlOf<QPushButton>(dialog, id); }
  void click(int id) { QTest::mouseClick(button(id), Qt::LeftButton); }
  // Single-file, wildcard or neither, as the two radio buttons show it.
  QString mode() {
    if (individual()->isChecked() && wildcardMode()->isChecked()) return "both";
    if (individual()->isChecked()) return "file";
    if (wildcardMode()->isChecked()) return "wildcard";
    return "none";
  }
  bool endedWith(QDialog::DialogCode code) {
    return !dialog.isVisible() && dialog.result() == code;
  }

  FakeUiServices services;
  CleanEntry entry;
  CEntryDlg dialog;
  bool activated = false;
};

CleanEntry WildcardEntry(std::string path, std::string wildcard, int recurse) {
  return {0, std::move(path), std::move(wildcard), recurse};
}

CleanEntry FileEntry(std::string path) { return {1, std::move(path), "", 0}; }

}  // namespace

class EntryDialogTest : public QObject {
  Q_OBJECT

 private slots:
  void addStartsWithNoModeAndStandardWildcards() {
    OpenEntryDialog d;
    QVERIFY(d.activated);
    QCOMPARE(d.dialog.windowTitle(), QString("Add new entry..."));
    QCOMPARE(d.mode(), QString("none"));
    QVERIFY(d.fileEdit()->text().isEmpty());
    QVERIFY(d.pathEdit()->text().isEmpty());
    QVERIFY(!d.recurse()->isChecked());
    QCOMPARE(ItemsOf(*d.wildcards()), kStandardWildcards);
    QCOMPARE(d.wildcards()->currentIndex(), -1);
    QVERIFY(d.wildcards()->currentText().isEmpty());
    QCOMPARE(FocusedControl(d.dialog), d.fileEdit());
  }

  void editShowsAFileEntry() {
    OpenEntryDialog d({1, "/home/u/junk.txt", "*.tmp", 1}, EntryEditMode::kEdit);
    QCOMPARE(d.dialog.windowTitle(), QString("Edit existing entry..."));
    QCOMPARE(d.fileEdit()->text(), QString("/home/u/junk.txt"));
    QCOMPARE(d.mode(), QString("file"));
    QVERIFY(d.pathEdit()->text().isEmpty());
    QVERIFY(!d.recurse()->isChecked());  // the record's flag is not shown
    QCOMPARE(ItemsOf(*d.wildcards()), kStandardWildcards);
    QCOMPARE(d.wildcards()->currentIndex(), -1);
  }

  void editShowsAWildcardEntryWithItsWildcardFirst() {
    OpenEntryDialog d(WildcardEntry("/var/cache/app", "*.bak", 1), EntryEditMode::kEdit);
    QCOMPARE(d.mode(), QString("wildcard"));
    QCOMPARE(d.pathEdit()->text(), QString("/var/cache/app"));
    QVERIFY(d.fileEdit()->text().isEmpty());
    QVERIFY(d.recurse()->isChecked());
    QCOMPARE(ItemsOf(*d.wildcards()), QStringList({"*.bak", "*.*", "*.tmp", "*.bak", "*.old"}));
    QCOMPARE(d.wildcards()->currentIndex(), 0);
    QCOMPARE(d.wildcards()->currentText(), QString("*.bak"));

    OpenEntryDialog flat(WildcardEntry("/x", "*.tmp", 0), EntryEditMode::kEdit);
    QVERIFY(!flat.recurse()->isChecked());
  }

  void typingInAnEditSwitchesTheMode() {
    OpenEntryDialog d;
    QTest::keyClicks(d.wildcards(), "*.log");
    QTest::mouseClick(d.recurse(), Qt::LeftButton);
    QCOMPARE(d.mode(), QString("none"));

    QTest::keyClicks(d.pathEdit(), "/srv/logs");
    QCOMPARE(d.mode(), QString("wildcard"));
    QTest::keyClicks(d.fileEdit(), "/srv/one.log");
    QCOMPARE(d.mode(), QString("file"));
    QCOMPARE(d.pathEdit()->text(), QString("/srv/logs"));  // kept, but not used
    QTest::keyClick(d.pathEdit(), Qt::Key_Backspace);
    QCOMPARE(d.mode(), QString("wildcard"));

    QTest::mouseClick(d.individual(), Qt::LeftButton);
    QCOMPARE(d.mode(), QString("file"));
    QTest::mouseClick(d.wildcardMode(), Qt::LeftButton);
    QCOMPARE(d.mode(), QString("wildcard"));
  }

  void okWithoutModeDoesNothing() {
    OpenEntryDialog d;
    const CleanEntry before = d.entry;
    d.click(kIdOk);
    QVERIFY(d.dialog.isVisible());
    QVERIFY(d.services.messages.empty());
    QCOMPARE(d.entry, before);
  }

  void okAcceptsAFileAndLeavesTheWildcardFields() {
    OpenEntryDialog d({0, "/old", "*.tmp", 1}, EntryEditMode::kAdd);
    QTest::keyClicks(d.fileEdit(), "/ ");  // blanks are a name like any other
    d.click(kIdOk);
    QVERIFY(d.endedWith(QDialog::Accepted));
    QCOMPARE(d.entry, CleanEntry({1, "/ ", "*.tmp", 1}));
    QVERIFY(d.services.messages.empty());
  }

  void okAcceptsAWildcardEntry() {
    OpenEntryDialog d;
    QTest::keyClicks(d.pathEdit(), "/data/scratch");
    QTest::keyClicks(d.wildcards(), "*.o");
    QTest::mouseClick(d.recurse(), Qt::LeftButton);
    d.click(kIdOk);
    QVERIFY(d.endedWith(QDialog::Accepted));
    QCOMPARE(d.entry, WildcardEntry("/data/scratch", "*.o", 1));

    OpenEntryDialog fromList;
    QTest::keyClicks(fromList.pathEdit(), "/data");
    fromList.wildcards()->setCurrentIndex(3);
    fromList.click(kIdOk);
    QVERIFY(fromList.endedWith(QDialog::Accepted));
    QCOMPARE(fromList.entry, WildcardEntry("/data", "*.old", 0));
  }

  void okExplainsWhatIsMissing() {
    const MessageRequest noFile{"Please enter a valid file description!", "File error",
                                MessageIcon::kExclamation, MessageButtons::kOk};
    OpenEntryDialog file({1, "/was/here", "", 0}, EntryEditMode::kEdit);
    file.fileEdit()->selectAll();
    QTest::keyClick(file.fileEdit(), Qt::Key_Delete);
    file.click(kIdOk);
    QVERIFY(file.dialog.isVisible());
    QCOMPARE(file.services.messages.size(), 1u);
    QCOMPARE(file.services.messages[0].text, noFile.text);
    QCOMPARE(file.services.messages[0].caption, noFile.caption);
    QCOMPARE(file.services.messages[0].icon, noFile.icon);
    QCOMPARE(file.services.messages[0].buttons, noFile.buttons);
    QCOMPARE(file.services.messageOwners[0], &file.dialog);
    QCOMPARE(file.entry.path, std::string());  // written before it was checked

    OpenEntryDialog directory(WildcardEntry("/was/here", "*.tmp", 0), EntryEditMode::kEdit);
    directory.pathEdit()->clear();
    directory.click(kIdOk);
    QVERIFY(directory.dialog.isVisible());
    QCOMPARE(directory.services.messages.size(), 1u);
    QCOMPARE(directory.services.messages[0].text, std::string("Please enter a valid directory!"));
    QCOMPARE(directory.services.messages[0].caption, std::string("File error"));
    QCOMPARE(directory.services.messages[0].icon, MessageIcon::kExclamation);

    OpenEntryDialog wildcard;
    QTest::keyClicks(wildcard.pathEdit(), "/dir");
    wildcard.click(kIdOk);
    QVERIFY(wildcard.dialog.isVisible());
    QCOMPARE(wildcard.services.messages.size(), 1u);
    QCOMPARE(wildcard.services.messages[0].text, std::string("Please enter a valid wildcard!"));
    QCOMPARE(wildcard.entry.path, std::string("/dir"));
    QCOMPARE(wildcard.entry.wildcard, std::string());
  }

  void okRefusesAPathNotFromTheRoot() {
    for (const bool individual : {true, false}) {
      OpenEntryDialog d;
      QTest::keyClicks(individual ? d.fileEdit() : d.pathEdit(), individual ? "rel.dat" : ".");
      if (!individual) QTest::keyClicks(d.wildcards(), "*.tmp");
      d.click(kIdOk);
      QVERIFY(d.dialog.isVisible());
      QCOMPARE(d.services.messages.size(), 1u);
      QCOMPARE(d.services.messages[0].text,
               std::string("Please enter a full path, beginning with /!"));
      QCOMPARE(d.services.messages[0].caption, std::string("File error"));
    }
  }

  void everyFileWildcardAsksFirst() {
    const MessageRequest expected{"This will delete ALL files under /home/u/my dir. Continue?",
                                  "Dustral", MessageIcon::kQuestion,
                                  MessageButtons::kOkCancelDefaultCancel};
    OpenEntryDialog declined;
    declined.services.messageAnswers = {MessageAnswer::kCancel};
    QTest::keyClicks(declined.pathEdit(), "/home/u/my dir");
    QTest::keyClicks(declined.wildcards(), "*.*");
    declined.click(kIdOk);
    QVERIFY(declined.dialog.isVisible());
    QCOMPARE(declined.services.messages.size(), 1u);
    QCOMPARE(declined.services.messages[0].text, expected.text);
    QCOMPARE(declined.services.messages[0].caption, expected.caption);
    QCOMPARE(declined.services.messages[0].icon, expected.icon);
    QCOMPARE(declined.services.messages[0].buttons, expected.buttons);
    QCOMPARE(declined.pathEdit()->text(), QString("/home/u/my dir"));
    QCOMPARE(declined.wildcards()->currentText(), QString("*.*"));
    // Cancel after declining: the caller gets Rejected and drops the record.
    declined.click(kIdCancel);
    QVERIFY(declined.endedWith(QDialog::Rejected));

    OpenEntryDialog confirmed(WildcardEntry("/home/u/my dir", "*.*", 1), EntryEditMode::kEdit);
    confirmed.services.messageAnswers = {MessageAnswer::kOk};
    confirmed.click(kIdOk);
    QVERIFY(confirmed.endedWith(QDialog::Accepted));
    QCOMPARE(confirmed.services.messages.size(), 1u);
    QCOMPARE(confirmed.services.messages[0].text, expected.text);
    QCOMPARE(confirmed.entry, WildcardEntry("/home/u/my dir", "*.*", 1));
  }

  void onlyExactlyStarDotStarAsks_data() {
    QTest::addColumn<QString>("wildcard");
    QTest::newRow("asterisk") << "*";
    QTest::newRow("trailing blank") << "*.* ";
    QTest::newRow("leading blank") << " *.*";
    QTest::newRow("two stars") << "*.**";
  }
  void onlyExactlyStarDotStarAsks() {
    QFETCH(QString, wildcard);
    OpenEntryDialog d;
    QTest::keyClicks(d.pathEdit(), "/d");
    d.wildcards()->setEditText(wildcard);
    d.click(kIdOk);
    QVERIFY(d.endedWith(QDialog::Accepted));
    QVERIFY(d.services.messages.empty());
    QCOMPARE(d.entry.wildcard, wildcard.toStdString());
  }

  void clearLeavesWildcardModeAndKeepsTheWildcard() {
    OpenEntryDialog d(WildcardEntry("/p", "*.bak", 1), EntryEditMode::kEdit);
    QTest::keyClicks(d.fileEdit(), "/f");
    QCOMPARE(d.mode(), QString("file"));
    d.click(kClearButton);
    QCOMPARE(d.mode(), QString("wildcard"));
    QVERIFY(d.fileEdit()->text().isEmpty());
    QVERIFY(d.pathEdit()->text().isEmpty());
    QVERIFY(!d.recurse()->isChecked());
    QCOMPARE(d.wildcards()->currentText(), QString("*.bak"));
    QCOMPARE(d.wildcards()->count(), 5);

    // From an empty dialog too, where no text changes at all.
    OpenEntryDialog empty;
    empty.click(kClearButton);
    QCOMPARE(empty.mode(), QString("wildcard"));
    QVERIFY(empty.dialog.isVisible());
  }

  void fileChooserFillsTheFileEdit() {
    OpenEntryDialog d(WildcardEntry("/p", "*.tmp", 1), EntryEditMode::kEdit);
    d.services.fileAnswers = {std::nullopt, std::string("/home/u/Desktop/link to file")};
    d.click(kBrowseFileButton);
    QCOMPARE(d.services.fileRequests.size(), 1u);
    const FileChooserRequest& request = d.services.fileRequests[0];
    QCOMPARE(request.title, std::string("Select file to delete"));
    const std::vector<std::pair<std::string, std::string>> filters{
        {"All Files (*.*) ", "*.*"},
        {" Links (*.lnk) ", "*.lnk"},
        {" Temporary Files (*.tmp) ", "*.tmp"},
        {" Backup Files (*.bak) ", "*.bak"},
        {" Old Files (*.old) ", "*.old"}};
    QVERIFY(request.filters == filters);
    QCOMPARE(d.services.chooserOwners[0], &d.dialog);
    // Cancelled: nothing changed.
    QCOMPARE(d.mode(), QString("wildcard"));
    QVERIFY(d.fileEdit()->text().isEmpty());

    d.click(kBrowseFileButton);
    QCOMPARE(d.fileEdit()->text(), QString("/home/u/Desktop/link to file"));
    QCOMPARE(d.mode(), QString("file"));
    QCOMPARE(d.pathEdit()->text(), QString("/p"));
  }

  void folderChooserFillsThePathEdit() {
    OpenEntryDialog d;
    QTest::keyClicks(d.wildcards(), "*.log");
    d.services.directoryAnswers = {std::nullopt, std::string("/var/log")};
    d.click(kBrowseDirButton);
    QCOMPARE(d.services.directoryTitles,
             std::vector<std::string>{"Choose directory to clean from..."});
    QCOMPARE(d.mode(), QString("none"));
    d.click(kBrowseDirButton);
    QCOMPARE(d.pathEdit()->text(), QString("/var/log"));
    QCOMPARE(d.mode(), QString("wildcard"));
    QCOMPARE(d.wildcards()->currentText(), QString("*.log"));
    QVERIFY(!d.recurse()->isChecked());
    // The chooser is told where the user already is.
    d.click(kBrowseDirButton);
    QCOMPARE(d.services.directoryStarts, (std::vector<std::string>{"", "", "/var/log"}));
  }

  void choosingTheTextAlreadyShownStillSetsTheMode() {
    OpenEntryDialog d;
    QTest::keyClicks(d.pathEdit(), "/var/log");
    QTest::keyClicks(d.fileEdit(), "/f");
    QCOMPARE(d.mode(), QString("file"));
    d.services.directoryAnswers = {std::string("/var/log")};
    d.click(kBrowseDirButton);
    QCOMPARE(d.mode(), QString("wildcard"));
  }

  void namesThatAreNotUtf8SurviveUnchanged() {
    const std::string odd = "/tmp/-rf\\ \xff\xfe name\nline";
    OpenEntryDialog d(WildcardEntry(odd, "*.\xe9t\xe9", 0), EntryEditMode::kEdit);
    d.click(kIdOk);
    QVERIFY(d.endedWith(QDialog::Accepted));
    QCOMPARE(d.entry, WildcardEntry(odd, "*.\xe9t\xe9", 0));

    OpenEntryDialog file(FileEntry(odd), EntryEditMode::kEdit);
    file.click(kIdOk);
    QVERIFY(file.endedWith(QDialog::Accepted));
    QCOMPARE(file.entry.path, odd);
  }

  void enterIsOkEscapeAndCloseAreCancel() {
    OpenEntryDialog enter;
    QTest::keyClicks(enter.fileEdit(), "/f");
    QTest::keyClick(enter.fileEdit(), Qt::Key_Return);
    QVERIFY(enter.endedWith(QDialog::Accepted));
    QCOMPARE(enter.entry.path, std::string("/f"));

    OpenEntryDialog inWildcardBox;
    QTest::keyClicks(inWildcardBox.pathEdit(), "/d");
    QTest::keyClicks(inWildcardBox.wildcards(), "*.log");
    QTest::keyClick(inWildcardBox.wildcards(), Qt::Key_Return);
    QVERIFY(inWildcardBox.endedWith(QDialog::Accepted));
    QCOMPARE(inWildcardBox.entry.wildcard, std::string("*.log"));
    QCOMPARE(inWildcardBox.wildcards()->count(), 4);  // typed text is not added to the list

    OpenEntryDialog escape(FileEntry("/kept"), EntryEditMode::kEdit);
    QTest::keyClicks(escape.fileEdit(), "/changed");
    QTest::keyClick(escape.fileEdit(), Qt::Key_Escape);
    QVERIFY(escape.endedWith(QDialog::Rejected));
    QCOMPARE(escape.entry, FileEntry("/kept"));

    OpenEntryDialog closed(FileEntry("/kept"), EntryEditMode::kEdit);
    closed.dialog.close();
    QVERIFY(closed.endedWith(QDialog::Rejected));
    QCOMPARE(closed.entry, FileEntry("/kept"));
  }

  void accessKeysReachTheirControls() {
    OpenEntryDialog d;
    QTest::keyClick(&d.dialog, Qt::Key_B, Qt::AltModifier);
    QTRY_COMPARE(d.services.fileRequests.size(), 1u);
    QTest::keyClick(&d.dialog, Qt::Key_R, Qt::AltModifier);
    QTRY_COMPARE(d.services.directoryTitles.size(), 1u);
    QTest::keyClick(&d.dialog, Qt::Key_D, Qt::AltModifier);
    QTRY_VERIFY(d.recurse()->isChecked());
    QTest::keyClick(&d.dialog, Qt::Key_L, Qt::AltModifier);
    QTRY_COMPARE(d.mode(), QString("wildcard"));
    QVERIFY(!d.recurse()->isChecked());
  }

  void controlsSitAsTheTemplatePlacesThem() {
    OpenEntryDialog d;
    const QRect file = d.fileEdit()->geometry();
    const QRect path = d.pathEdit()->geometry();
    const QRect ok = d.button(kIdOk)->geometry();
    QVERIFY(d.individual()->geometry().bottom() <= file.top() + 1);
    QVERIFY(d.wildcardMode()->geometry().bottom() <= path.top() + 1);
    QVERIFY(file.bottom() < path.top());
    QVERIFY(path.bottom() < d.wildcards()->geometry().top());
    QVERIFY(d.wildcards()->geometry().bottom() < d.recurse()->geometry().top());
    QVERIFY(ok.left() > d.button(kBrowseDirButton)->geometry().right());
    QVERIFY(d.button(kBrowseFileButton)->geometry().left() > file.right());
    QVERIFY(ok.bottom() < d.button(kIdCancel)->geometry().top());
    QVERIFY(d.button(kIdCancel)->geometry().bottom() < d.button(kClearButton)->geometry().top());
    QVERIFY(d.dialog.rect().contains(ok));
    QVERIFY(d.dialog.rect().contains(d.recurse()->geometry()));

    QCOMPARE(TabChainNames(d.fileEdit()),
             QStringList({"ctl1008", "ctl1007", "ctl1010", "ctl1012", "ctl1015", "ctl1000", "ctl1",
                          "ctl2", "ctl1021"}));
    QVERIFY(d.button(kIdOk)->isDefault());
  }

  void doModalRunsUntilOk() {
    FakeUiServices services;
    CleanEntry entry = FileEntry("/a file");
    CEntryDlg dialog(&entry, EntryEditMode::kEdit, nullptr, services);
    QTimer::singleShot(0, [&] {
      QTRY_COMPARE(QApplication::activeModalWidget(), &dialog);
      QTest::mouseClick(ControlOf<QPushButton>(dialog, kIdOk), Qt::LeftButton);
    });
    QCOMPARE(dialog.DoModal(), int(QDialog::Accepted));
    QCOMPARE(entry, FileEntry("/a file"));
  }
};

DUSTRAL_QTEST_MAIN(EntryDialogTest)
#include "entry_dialog_test.moc"
