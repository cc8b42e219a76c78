#include "ui/options_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "resources/options_dialog_template.h"
#include "settings/options.h"
#include "ui/dialog_layout.h"
#include "ui/window_modal.h"

namespace {

int32_t FlagOf(const QCheckBox& box) { return box.isChecked() ? 1 : 0; }

}  // namespace

COptionsDlg::COptionsDlg(CleanSettings* settings, QWidget* owner, UiServices& services)
    : QDialog(owner), m_settings(settings), m_services(services) {
  using namespace options_dialog;
  const DialogControls controls = BuildDialog(*this, kTemplate);
  for (const Option& option : kOptions) {
    QWidget* control = controls.Find(static_cast<int>(option.control));
    if (option.flag)
      m_flagBoxes.push_back({option.flag, qobject_cast<QCheckBox*>(control)});
    else
      m_textEdit = {option.text, qobject_cast<QLineEdit*>(control)};
  }
  m_autoRunBox = controls.Get<QCheckBox>(kAutoRunBox);
  m_programEdit = controls.Get<QLineEdit>(kProgramEdit);

  connect(controls.Get<QPushButton>(kChooseButton), &QPushButton::clicked, this,
          &COptionsDlg::OnChooseProgram);
  connect(controls.Get<QPushButton>(kHelpButton), &QPushButton::clicked, this,
          &COptionsDlg::OnHelp);
  connect(controls.Get<QPushButton>(kIdOk), &QPushButton::clicked, this, &COptionsDlg::OnOK);
  connect(controls.Get<QPushButton>(kIdCancel), &QPushButton::clicked, this, &QDialog::reject);

  OnInitDialog();
}

int COptionsDlg::DoModal() { return RunWindowModal(*this); }

void COptionsDlg::OnInitDialog() {
  // A flag is on when it is non-zero, whatever number a hand-edited
  // registry holds.
  for (const FlagBox& flag : m_flagBoxes) flag.box->setChecked(m_settings->*flag.member != 0);
  m_textEdit.edit->setText(m_programText.Remember(m_settings->*m_textEdit.member));
}

void COptionsDlg::OnOK() {
  // The record takes the new values only once the user has confirmed them:
  // after a declined lock-out question, Cancel must leave the record as the
  // dialog found it, or the lock-out the user just refused would be stored.
  CleanSettings chosen = *m_settings;
  for (const FlagBox& flag : m_flagBoxes) chosen.*flag.member = FlagOf(*flag.box);
  chosen.*m_textEdit.member = m_programText.Recall(m_textEdit.edit->text());

  if (chosen.m_bAutoClean == 1 && chosen.m_bQuitAfterCleaning == 1) {
    const MessageRequest question{
        "Warning: Auto-clean and auto-quit means that you won't be able to change options "
        "again! Continue?",
        kMessageCaption, MessageIcon::kQuestion, MessageButtons::kOkCancelDefaultCancel};
    if (m_services.ShowMessage(this, question) != MessageAnswer::kOk) return;
  }
  *m_settings = chosen;
  accept();
}

void COptionsDlg::OnChooseProgram() {
  const FileChooserRequest request{
      "Select executable to run",
      {{"Executables (*.exe) ", "*.exe"}, {" All Files (*.*) ", "*.*"}},
      m_programText.Recall(m_programEdit->text())};
  const std::optional<std::string> chosen = m_services.ChooseFile(this, request);
  if (!chosen || chosen->empty()) return;
  m_programEdit->setText(m_programText.Remember(*chosen));
  m_autoRunBox->setChecked(true);
}

void COptionsDlg::OnHelp() { emit helpRequested(); }
