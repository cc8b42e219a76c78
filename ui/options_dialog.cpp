#include "ui/options_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "resources/options_dialog_template.h"
#include "ui/dialog_layout.h"
#include "ui/window_modal.h"

namespace {

int32_t FlagOf(const QCheckBox& box) { return box.isChecked() ? 1 : 0; }

}  // namespace

COptionsDlg::COptionsDlg(CleanSettings* settings, QWidget* owner, UiServices& services)
    : QDialog(owner), m_settings(settings), m_services(services) {
  using namespace options_dialog;
  const DialogControls controls = BuildDialog(*this, kTemplate);
  m_autoCleanBox = controls.Get<QCheckBox>(kAutoCleanBox);
  m_systemFilesBox = controls.Get<QCheckBox>(kSystemFilesBox);
  m_readOnlyFilesBox = controls.Get<QCheckBox>(kReadOnlyFilesBox);
  m_hiddenFilesBox = controls.Get<QCheckBox>(kHiddenFilesBox);
  m_saveSettingsBox = controls.Get<QCheckBox>(kSaveSettingsBox);
  m_quitAfterCleaningBox = controls.Get<QCheckBox>(kQuitAfterCleaningBox);
  m_autoRunBox = controls.Get<QCheckBox>(kAutoRunBox);
  m_programEdit = controls.Get<QLineEdit>(kProgramEdit);

  connect(controls.Get<QPushButton>(kChooseButton), &QPushButton::clicked, this,
          &COptionsDlg::OnChooseProgram);
  connect(controls.Get<QPushButton>(kHelpButton), &QPushButton::clicked, this, &COptionsDlg::OnHelp);
  connect(controls.Get<QPushButton>(kIdOk), &QPushButton::clicked, this, &COptionsDlg::OnOK);
  connect(controls.Get<QPushButton>(kIdCancel), &QPushButton::clicked, this, &QDialog::reject);

  OnInitDialog();
}

int COptionsDlg::DoModal() { return RunWindowModal(*this); }

void COptionsDlg::OnInitDialog() {
  // A flag is on when it is non-zero, whatever number a hand-edited
  // registry holds.
  m_autoRunBox->setChecked(m_settings->m_bAutoRun != 0);
  m_programEdit->setText(m_programText.Remember(m_settings->m_strExeToRun));
  m_saveSettingsBox->setChecked(m_settings->m_bSaveSettings != 0);
  m_quitAfterCleaningBox->setChecked(m_settings->m_bQuitAfterCleaning != 0);
  m_systemFilesBox->setChecked(m_settings->m_bDelSystemFiles != 0);
  m_readOnlyFilesBox->setChecked(m_settings->m_bDelReadOnlyFiles != 0);
  m_hiddenFilesBox->setChecked(m_settings->m_bDelHiddenFiles != 0);
  m_autoCleanBox->setChecked(m_settings->m_bAutoClean != 0);
}

void COptionsDlg::OnOK() {
  // The record takes the new values only once the user has confirmed them:
  // after a declined lock-out question, Cancel must leave the record as the
  // dialog found it, or the lock-out the user just refused would be stored.
  CleanSettings chosen = *m_settings;
  chosen.m_bAutoRun = FlagOf(*m_autoRunBox);
  chosen.m_strExeToRun = m_programText.Recall(m_programEdit->text());
  chosen.m_bSaveSettings = FlagOf(*m_saveSettingsBox);
  chosen.m_bQuitAfterCleaning = FlagOf(*m_quitAfterCleaningBox);
  chosen.m_bDelSystemFiles = FlagOf(*m_systemFilesBox);
  chosen.m_bDelReadOnlyFiles = FlagOf(*m_readOnlyFilesBox);
  chosen.m_bDelHiddenFiles = FlagOf(*m_hiddenFilesBox);
  chosen.m_bAutoClean = FlagOf(*m_autoCleanBox);

  if (chosen.m_bAutoClean == 1 && chosen.m_bQuitAfterCleaning == 1) {
    const MessageRequest question{
        "Warning: Auto-clean and auto-quit means that you won't be able to change options "
        "again! Continue?",
        "Dustral", MessageIcon::kQuestion, MessageButtons::kOkCancelDefaultCancel};
    if (m_services.ShowMessage(this, question) != MessageAnswer::kOk) return;
  }
  *m_settings = chosen;
  accept();
}

void COptionsDlg::OnChooseProgram() {
  const FileChooserRequest request{"Select executable to run",
                                   {{"Executables (*.exe) ", "*.exe"}, {" All Files (*.*) ", "*.*"}},
                                   m_programText.Recall(m_programEdit->text())};
  const std::optional<std::string> chosen = m_services.ChooseFile(this, request);
  if (!chosen || chosen->empty()) return;
  m_programEdit->setText(m_programText.Remember(*chosen));
  m_autoRunBox->setChecked(true);
}

void COptionsDlg::OnHelp() { emit helpRequested(); }
