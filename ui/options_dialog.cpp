#include "ui/options_dialog.h"

#include <QCheckBox>
#include <QLineEdit>
#include <QPushButton>

#include "resources/options_dialog_template.h"
#include "settings/options.h"
#include "ui/dialog_layout.h"
#include "ui/window_modal.h"

COptionsDlg::COptionsDlg(CleanSettings* settings, QWidget* owner, UiServices& services)
    : QDialog(owner), m_settings(settings), m_services(services) {
  using namespace options_dialog;
  const DialogControls controls = BuildDialog(*this, kTemplate);
  for (const Option& option : kOptions)
    if (option.flag)
      m_boxes[option.control] = controls.Get<QCheckBox>(static_cast<int>(option.control));
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

void COptionsDlg::OnInitDialog() { ShowOptions(*m_settings, m_controls); }

void COptionsDlg::OnOK() {
  OwnedMessageBox messages(m_services, this);
  if (AcceptOptions(m_controls, *m_settings, messages)) accept();
}

void COptionsDlg::OnChooseProgram() {
  const std::optional<std::string> chosen = m_services.ChooseFile(
      this, ProgramChooserRequest(m_programText.Recall(m_programEdit->text())));
  if (!chosen || chosen->empty()) return;
  m_programEdit->setText(m_programText.Remember(*chosen));
  m_autoRunBox->setChecked(true);
}

void COptionsDlg::OnHelp() { emit helpRequested(); }

bool COptionsDlg::Controls::IsTicked(OptionControlId box) const {
  return dialog_.m_boxes.at(box)->isChecked();
}

void COptionsDlg::Controls::SetTicked(OptionControlId box, bool ticked) {
  dialog_.m_boxes.at(box)->setChecked(ticked);
}

// The options have one edit line, the program's.
std::string COptionsDlg::Controls::TextOf(OptionControlId) const {
  return dialog_.m_programText.Recall(dialog_.m_programEdit->text());
}

void COptionsDlg::Controls::SetText(OptionControlId, const std::string& text) {
  dialog_.m_programEdit->setText(dialog_.m_programText.Remember(text));
}
