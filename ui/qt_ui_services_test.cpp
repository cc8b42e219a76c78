#include <unistd.h>

#include <functional>

#include <QComboBox>
#include <QDir>
#include <QFileDialog>
#include <QMessageBox>
#include <QPushButton>
#include <QTimer>

#include "testing/scoped_test_home.h"
#include "ui/qt_ui_services.h"
#include "ui/testing/qt_test_main.h"

namespace {

// Runs `act` on the next modal window of type Window once it is up.
template <class Window>
void WhenModalOpens(std::function<void(Window&)> act) {
  QTimer::singleShot(0, [act] {
    QTRY_VERIFY(qobject_cast<Window*>(QApplication::activeModalWidget()));
    act(*qobject_cast<Window*>(QApplication::activeModalWidget()));
  });
}

const MessageRequest kQuestion{"This will delete ALL files under /a <b>&amp;</b>. Continue?",
                               "Dustral", MessageIcon::kQuestion,
                               MessageButtons::kOkCancelDefaultCancel};

}  // namespace

class QtUiServicesTest : public QObject {
  Q_OBJECT

 private slots:
  void questionShowsItsTextAndDefaultsToCancel() {
    QtUiServices services;
    QWidget owner;
    QString title, text;
    Qt::TextFormat format = Qt::AutoText;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    bool cancelIsDefault = false;
    QWidget* parent = nullptr;
    WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
      title = box.windowTitle();
      text = box.text();
      format = box.textFormat();
      icon = box.icon();
      buttons = box.standardButtons();
      cancelIsDefault = box.defaultButton() == box.button(QMessageBox::Cancel);
      parent = box.parentWidget();
      QTest::keyClick(&box, Qt::Key_Return);
    });
    QCOMPARE(services.ShowMessage(&owner, kQuestion), MessageAnswer::kCancel);
    QCOMPARE(title, QString("Dustral"));
    QCOMPARE(text, QString::fromStdString(kQuestion.text));
    QCOMPARE(format, Qt::PlainText);
    QCOMPARE(icon, QMessageBox::Question);
    QCOMPARE(buttons, QMessageBox::Ok | QMessageBox::Cancel);
    QVERIFY(cancelIsDefault);
    QCOMPARE(parent, &owner);

    WhenModalOpens<QMessageBox>([](QMessageBox& box) { box.button(QMessageBox::Ok)->click(); });
    QCOMPARE(services.ShowMessage(&owner, kQuestion), MessageAnswer::kOk);

    WhenModalOpens<QMessageBox>([](QMessageBox& box) { QTest::keyClick(&box, Qt::Key_Escape); });
    QCOMPARE(services.ShowMessage(&owner, kQuestion), MessageAnswer::kCancel);
  }

  void errorHasOnlyOk() {
    QtUiServices services;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    QMessageBox::StandardButtons buttons;
    WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
      icon = box.icon();
      buttons = box.standardButtons();
      QTest::keyClick(&box, Qt::Key_Return);
    });
    const MessageRequest error{"Please enter a valid directory!", "File error",
                               MessageIcon::kExclamation, MessageButtons::kOk};
    QCOMPARE(services.ShowMessage(nullptr, error), MessageAnswer::kOk);
    QCOMPARE(icon, QMessageBox::Warning);
    QCOMPARE(buttons, QMessageBox::StandardButtons(QMessageBox::Ok));
  }

  void missingCaptionIsTheApplicationName() {
    QtUiServices services;
    QString title;
    WhenModalOpens<QMessageBox>([&](QMessageBox& box) {
      title = box.windowTitle();
      QTest::keyClick(&box, Qt::Key_Return);
    });
    services.ShowMessage(
        nullptr, {"Failed to launch help.", "", MessageIcon::kExclamation, MessageButtons::kOk});
    QCOMPARE(title, QApplication::applicationName());
  }

  void nameFiltersKeepTheirTextAndMatchEveryFile() {
    QCOMPARE(QtNameFilter(" Links (*.lnk) ", "*.lnk"), QString(" Links (*.lnk) (*.lnk)"));
    QCOMPARE(QtNameFilter("All Files (*.*) ", "*.*"), QString("All Files (*.*) (*)"));
  }

  void fileChooserReturnsALinkItself() {
    ScopedTestHome home;
    WriteTestFile(home.Path("files/target.txt"));
    QVERIFY(::symlink("target.txt", home.Path("files/shortcut").c_str()) == 0);
    const QString directory = QString::fromStdString(home.Path("files"));

    QtUiServices services;
    QString title;
    bool linksKept = false;
    QStringList shownFilters;
    int initialFilter = -1;
    WhenModalOpens<QFileDialog>([&](QFileDialog& dialog) {
      title = dialog.windowTitle();
      linksKept = dialog.testOption(QFileDialog::DontResolveSymlinks);
      if (auto* typeBox = dialog.findChild<QComboBox*>("fileTypeCombo")) {
        for (int i = 0; i < typeBox->count(); ++i) shownFilters << typeBox->itemText(i);
        initialFilter = typeBox->currentIndex();
      }
      dialog.setDirectory(directory);
      dialog.selectFile(directory + "/shortcut");
      static_cast<QDialog&>(dialog).accept();  // as the Open button does
    });
    // Here no program ends in ".exe": the filter of every file opens first.
    const FileChooserRequest request{
        "Select executable to run",
        {{"Executables (*.exe) ", "*.exe"}, {" All Files (*.*) ", "*.*"}}};
    QCOMPARE(services.ChooseFile(nullptr, request), std::optional(home.Path("files/shortcut")));
    QCOMPARE(title, QString("Select executable to run"));
    QVERIFY(linksKept);
    QCOMPARE(shownFilters, QStringList({" All Files (*.*) ", "Executables (*.exe) "}));
    QCOMPARE(initialFilter, 0);

    WhenModalOpens<QFileDialog>([](QFileDialog& dialog) { dialog.reject(); });
    QCOMPARE(services.ChooseFile(nullptr, request), std::nullopt);
  }

  void directoryChooserStartsWhereTheTypedPathLeads() {
    ScopedTestHome home;
    std::filesystem::create_directories(home.Path("projects/old"));
    const QString homeFolder = QDir::homePath();
    QCOMPARE(homeFolder, QString::fromStdString(home.Path("home")));
    struct Case {
      std::string typed;
      QString start;
    };
    for (const Case& each :
         {Case{home.Path("projects/old"), QString::fromStdString(home.Path("projects/old"))},
          Case{home.Path("projects/not yet/deeper"), QString::fromStdString(home.Path("projects"))},
          Case{"", homeFolder}, Case{"relative/path", homeFolder}})
      QCOMPARE(DirectoryToStartIn(each.typed), each.start);
  }

  void directoryChooserPicksADirectory() {
    ScopedTestHome home;
    std::filesystem::create_directories(home.Path("pick me/inner"));
    const QString parent = QString::fromStdString(home.Path(""));

    QtUiServices services;
    QString title;
    QString start;
    bool directoriesOnly = false;
    WhenModalOpens<QFileDialog>([&](QFileDialog& dialog) {
      title = dialog.windowTitle();
      start = dialog.directory().absolutePath();
      directoriesOnly = dialog.fileMode() == QFileDialog::Directory &&
                        dialog.testOption(QFileDialog::ShowDirsOnly);
      dialog.setDirectory(parent);
      dialog.selectFile(QString::fromStdString(home.Path("pick me")));
      static_cast<QDialog&>(dialog).accept();
    });
    QCOMPARE(services.ChooseDirectory(nullptr, "Choose directory to clean from...",
                                      home.Path("pick me/inner")),
             std::optional(home.Path("pick me")));
    QCOMPARE(title, QString("Choose directory to clean from..."));
    QCOMPARE(start, QString::fromStdString(home.Path("pick me/inner")));
    QVERIFY(directoriesOnly);
  }
};

DUSTRAL_QTEST_MAIN(QtUiServicesTest)
#include "qt_ui_services_test.moc"
