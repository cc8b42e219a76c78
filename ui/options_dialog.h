#pragma once

#include <QDialog>

#include <string>
#include <vector>

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

  // The controls of the options table (settings/options.h): a box per flag
  // and the one edit line of the program to run.
  struct FlagBox {
    int32_t CleanSettings::*member;
    QCheckBox* box;
  };
  struct TextEdit {
    std::string CleanSettings::*member = nullptr;
    QLineEdit* edit = nullptr;
  };
  std::vector<FlagBox> m_flagBoxes;
  TextEdit m_textEdit;
  QCheckBox* m_autoRunBox = nullptr;
  QLineEdit* m_programEdit = nullptr;
  CleanSettings* m_settings;
  UiServices& m_services;
  NarrowTextMemory m_programText;
};
