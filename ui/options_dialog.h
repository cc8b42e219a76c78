#pragma once

#include <QDialog>

#include <map>
#include <string>

#include "session/options_form.h"
#include "settings/clean_settings.h"
#include "ui/narrow_text.h"
#include "ui/ui_services.h"

class QCheckBox;
class QLineEdit;

// The options dialog. A confirmed OK writes every control into the caller's
// record at once; Cancel, also after a declined question, writes nothing.
class COptionsDlg : public QDialog {
  Q_OBJECT

 public:
  COptionsDlg(CleanSettings* settings, QWidget* owner, UiServices& services);

  // QDialog::Accepted (OK) or QDialog::Rejected (Cancel, Escape, close box).
  int DoModal();

 signals:
  // "&Help" was pressed; the dialog stays open.
  void helpRequested();

 private:
  void OnInitDialog();
  void OnOK();
  void OnChooseProgram();
  void OnHelp();

  // The boxes and the edit line of the options table (settings/options.h),
  // as the shared form reads and sets them.
  class Controls : public OptionControls {
   public:
    explicit Controls(COptionsDlg& dialog) : dialog_(dialog) {}
    bool IsTicked(OptionControlId box) const override;
    void SetTicked(OptionControlId box, bool ticked) override;
    std::string TextOf(OptionControlId edit) const override;
    void SetText(OptionControlId edit, const std::string& text) override;

   private:
    COptionsDlg& dialog_;
  };
  std::map<OptionControlId, QCheckBox*> m_boxes;
  Controls m_controls{*this};
  QCheckBox* m_autoRunBox = nullptr;
  QLineEdit* m_programEdit = nullptr;
  CleanSettings* m_settings;
  UiServices& m_services;
  NarrowTextMemory m_programText;
};
