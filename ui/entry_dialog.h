#pragma once

#include <optional>
#include <string>
#include <vector>

#include <QDialog>

#include "settings/clean_entry.h"
#include "settings/entry_commands.h"
#include "ui/narrow_text.h"
#include "ui/ui_services.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QRadioButton;

// The editor of one custom entry: either one file, or a directory with a
// wildcard and a recursion flag. It edits the caller's record, which the
// caller uses only when DoModal returns QDialog::Accepted; it never touches
// the disk, the settings or the entry list.
class CEntryDlg : public QDialog {
  Q_OBJECT

 public:
  // With EntryEditMode::kEdit, `entry` holds an existing entry to show.
  CEntryDlg(CleanEntry* entry, EntryEditMode editMode, QWidget* owner, UiServices& services);

  // QDialog::Accepted (OK) or QDialog::Rejected (Cancel, Escape, close box).
  int DoModal();

 private:
  void OnInitDialog();
  void OnBrowseFile();
  void OnBrowseDir();
  // The mode rule: a new file text means one file, a new path text a wildcard.
  void OnChangeFile();
  void OnChangePath();
  void OnOK();
  void OnClear();

  // Sets an edit's text and applies the mode rule, even when the text is
  // the one the edit already shows (and so announces no change).
  void SetFileText(const std::string& text);
  void SetPathText(const std::string& text);
  void FillWildcardBox(const std::vector<std::string>& choices, bool firstSelected);

  QCheckBox* m_recurseBox = nullptr;
  QComboBox* m_wildcardBox = nullptr;
  QLineEdit* m_pathEdit = nullptr;
  QLineEdit* m_fileEdit = nullptr;
  QRadioButton* m_individualRadio = nullptr;
  QRadioButton* m_wildcardRadio = nullptr;
  CleanEntry* m_entry;
  EntryEditMode m_editMode;
  UiServices& m_services;
  NarrowTextMemory m_fileText;
  NarrowTextMemory m_pathText;
  NarrowTextMemory m_wildcardText;
};
