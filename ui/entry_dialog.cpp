#include "ui/entry_dialog.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <utility>

#include "resources/entry_dialog_template.h"
#include "session/entry_form.h"
#include "ui/dialog_layout.h"
#include "ui/window_modal.h"

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
  const EntryFormStart start = StartEntryForm(*m_entry, m_editMode);
  setWindowTitle(QString::fromUtf8(start.caption));
  if (start.fields.individualOn) SetFileText(start.fields.fileText);
  if (start.fields.wildcardOn) SetPathText(start.fields.pathText);
  SetButtonChecked(*m_individualRadio, start.fields.individualOn);
  SetButtonChecked(*m_wildcardRadio, start.fields.wildcardOn);
  m_recurseBox->setChecked(start.fields.recurse);
  FillWildcardBox(start.wildcardChoices, start.firstWildcardSelected);
}

void CEntryDlg::FillWildcardBox(const std::vector<std::string>& choices, bool firstSelected) {
  m_wildcardBox->clear();
  for (std::size_t i = 0; i < choices.size(); ++i)
    m_wildcardBox->addItem(i == 0 && firstSelected ? m_wildcardText.Remember(choices[i])
                                                   : QString::fromUtf8(choices[i]));
  // Adding the first item selects it; only the entry's own wildcard is.
  m_wildcardBox->setCurrentIndex(firstSelected ? 0 : -1);
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
      this, kChooseDirectoryTitle, m_pathText.Recall(m_pathEdit->text()));
  if (!chosen || chosen->empty()) return;
  SetPathText(*chosen);
}

void CEntryDlg::OnOK() {
  const EntryFormFields shown{m_individualRadio->isChecked(),
                              m_wildcardRadio->isChecked(),
                              m_fileText.Recall(m_fileEdit->text()),
                              m_pathText.Recall(m_pathEdit->text()),
                              m_wildcardText.Recall(m_wildcardBox->currentText()),
                              m_recurseBox->isChecked()};
  OwnedMessageBox messages(m_services, this);
  if (AcceptEntryForm(shown, *m_entry, messages)) accept();
}

void CEntryDlg::OnClear() {
  SetFileText("");
  SetButtonChecked(*m_individualRadio, false);
  SetButtonChecked(*m_wildcardRadio, false);
  SetPathText("");
  m_recurseBox->setChecked(false);
}
