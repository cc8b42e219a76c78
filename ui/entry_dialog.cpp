#include "ui/entry_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

#include "resources/entry_dialog_template.h"
#include "ui/dialog_layout.h"
#include "ui/window_modal.h"

namespace {

const char* const kStandardWildcards[] = {"*.*", "*.tmp", "*.bak", "*.old"};

// Display texts keep their spaces exactly as the filter list has always
// shown them.
FileChooserRequest FileToDeleteRequest(std::string typedPath) {
  return {"Select file to delete",
          {{"All Files (*.*) ", "*.*"},
           {" Links (*.lnk) ", "*.lnk"},
           {" Temporary Files (*.tmp) ", "*.tmp"},
           {" Backup Files (*.bak) ", "*.bak"},
           {" Old Files (*.old) ", "*.old"}},
          std::move(typedPath)};
}

}  // namespace

CEntryDlg::CEntryDlg(CleanEntry* entry, EntryEditMode editMode, QWidget* owner,
                     UiServices& services)
    : QDialog(owner), m_entry(entry), m_editMode(editMode), m_services(services) {
  using namespace entry_dialog;
  const DialogControls controls = BuildDialog(*this, kTemplate);
  m_recurseBox = controls.Get<QCheckBox>(kRecurseBox);
  m_wildcardBox = controls.Get<QComboBox>(kWildcardBox);
  m_pathEdit = controls.Get<QLineEdit>(kPathEdit);
  m_fileEdit = controls.Get<QLineEdit>(kFileEdit);
  m_individualRadio = controls.Get<QRadioButton>(kIndividualRadio);
  m_wildcardRadio = controls.Get<QRadioButton>(kWildcardRadio);

  connect(controls.Get<QPushButton>(kBrowseFileButton), &QPushButton::clicked, this,
          &CEntryDlg::OnBrowseFile);
  connect(controls.Get<QPushButton>(kBrowseDirButton), &QPushButton::clicked, this,
          &CEntryDlg::OnBrowseDir);
  connect(m_fileEdit, &QLineEdit::textChanged, this, &CEntryDlg::OnChangeFile);
  connect(m_pathEdit, &QLineEdit::textChanged, this, &CEntryDlg::OnChangePath);
  connect(controls.Get<QPushButton>(kIdOk), &QPushButton::clicked, this, &CEntryDlg::OnOK);
  connect(controls.Get<QPushButton>(kIdCancel), &QPushButton::clicked, this, &QDialog::reject);
  connect(controls.Get<QPushButton>(kClearButton), &QPushButton::clicked, this,
          &CEntryDlg::OnClear);

  OnInitDialog();
}

int CEntryDlg::DoModal() { return RunWindowModal(*this); }

void CEntryDlg::OnInitDialog() {
  if (m_editMode == EntryEditMode::kAdd) {
    setWindowTitle(QStringLiteral("Add new entry..."));
    FillWildcardBox(std::nullopt);
    return;
  }
  setWindowTitle(QStringLiteral("Edit existing entry..."));
  if (m_entry->individual != 0) {
    SetFileText(m_entry->path);
    SetButtonChecked(*m_individualRadio, true);
    SetButtonChecked(*m_wildcardRadio, false);
    FillWildcardBox(std::nullopt);
  } else {
    SetButtonChecked(*m_individualRadio, false);
    SetButtonChecked(*m_wildcardRadio, true);
    SetPathText(m_entry->path);
    m_recurseBox->setChecked(m_entry->recurse != 0);
    FillWildcardBox(m_entry->wildcard);
  }
}

void CEntryDlg::FillWildcardBox(const std::optional<std::string>& currentWildcard) {
  m_wildcardBox->clear();
  if (currentWildcard) m_wildcardBox->addItem(m_wildcardText.Remember(*currentWildcard));
  for (const char* wildcard : kStandardWildcards)
    m_wildcardBox->addItem(QString::fromUtf8(wildcard));
  // Adding the first item selects it; only a current wildcard is selected.
  m_wildcardBox->setCurrentIndex(currentWildcard ? 0 : -1);
}

void CEntryDlg::SetFileText(const std::string& text) {
  m_fileEdit->setText(m_fileText.Remember(text));
  OnChangeFile();
}

void CEntryDlg::SetPathText(const std::string& text) {
  m_pathEdit->setText(m_pathText.Remember(text));
  OnChangePath();
}

void CEntryDlg::OnChangeFile() {
  SetButtonChecked(*m_individualRadio, true);
  SetButtonChecked(*m_wildcardRadio, false);
}

void CEntryDlg::OnChangePath() {
  SetButtonChecked(*m_individualRadio, false);
  SetButtonChecked(*m_wildcardRadio, true);
}

void CEntryDlg::OnBrowseFile() {
  const std::optional<std::string> chosen =
      m_services.ChooseFile(this, FileToDeleteRequest(m_fileText.Recall(m_fileEdit->text())));
  if (!chosen || chosen->empty()) return;
  SetFileText(*chosen);
}

void CEntryDlg::OnBrowseDir() {
  const std::optional<std::string> chosen = m_services.ChooseDirectory(
      this, "Choose directory to clean from...", m_pathText.Recall(m_pathEdit->text()));
  if (!chosen || chosen->empty()) return;
  SetPathText(*chosen);
}

namespace {

// A path not beginning at the root would name a file in whatever directory
// the program happens to be started from; the clean run passes over it.
constexpr const char* kNotAFullPath = "Please enter a full path, beginning with /!";

bool IsFullPath(const std::string& path) { return path.starts_with('/'); }

}  // namespace

void CEntryDlg::ShowFileError(const char* text) {
  m_services.ShowMessage(this,
                         {text, "File error", MessageIcon::kExclamation, MessageButtons::kOk});
}

void CEntryDlg::OnOK() {
  if (m_individualRadio->isChecked()) {
    m_entry->path = m_fileText.Recall(m_fileEdit->text());
    if (m_entry->path.empty()) {
      ShowFileError("Please enter a valid file description!");
      return;
    }
    if (!IsFullPath(m_entry->path)) {
      ShowFileError(kNotAFullPath);
      return;
    }
    m_entry->individual = 1;
    accept();
    return;
  }
  if (!m_wildcardRadio->isChecked()) return;

  m_entry->path = m_pathText.Recall(m_pathEdit->text());
  if (m_entry->path.empty()) {
    ShowFileError("Please enter a valid directory!");
    return;
  }
  if (!IsFullPath(m_entry->path)) {
    ShowFileError(kNotAFullPath);
    return;
  }
  m_entry->wildcard = m_wildcardText.Recall(m_wildcardBox->currentText());
  if (m_entry->wildcard.empty()) {
    ShowFileError("Please enter a valid wildcard!");
    return;
  }
  m_entry->individual = 0;
  m_entry->recurse = m_recurseBox->isChecked() ? 1 : 0;
  if (m_entry->wildcard != kEverythingWildcard) {
    accept();
    return;
  }
  if (m_services.ShowMessage(this, DeleteEverythingQuestion(m_entry->path)) == MessageAnswer::kOk)
    accept();
}

void CEntryDlg::OnClear() {
  SetFileText("");
  SetButtonChecked(*m_individualRadio, false);
  SetButtonChecked(*m_wildcardRadio, false);
  SetPathText("");
  m_recurseBox->setChecked(false);
}
