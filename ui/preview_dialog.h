#pragma once

#include <QDialog>

#include <optional>

#include "engine/clean_plan.h"
#include "platform/file_system.h"
#include "platform/program_launcher.h"
#include "settings/clean_settings.h"
#include "window/window_controls.h"

class CleanPlanModel;
class QAction;
class QLabel;
class QLineEdit;
class QListView;
class QPushButton;
class QStringListModel;
class QTreeView;

// The preview of a clean: the files it would delete, grouped by the category
// or entry they came from, with their sizes, the totals and the files the
// options would keep. Its Clean deletes exactly the files shown (a file that
// changed or appeared since is left alone) and then shows what happened;
// Close deletes nothing. A plan is carried out once: after Clean, only Close
// is left. Sorting and the filter change what is shown only: Clean deletes
// the whole list, shown or not, and the window says so while a filter is
// on. A row's menu opens its folder in the file manager (through
// `launcher`) or copies its path.
class PreviewDialog : public QDialog {
  Q_OBJECT

 public:
  // `plan` was gathered, with its guard, under `options`; `files`, the
  // launcher and the wait cursor outlive the dialog.
  PreviewDialog(CleanPlan plan, const CleanSettings& options, FileSystem& files,
                ProgramLauncher& launcher, WaitCursor& waitCursor, QWidget* owner);
  ~PreviewDialog() override;

  // Runs the dialog modal to its owner window.
  int DoModal();

  // The outcome of the Clean, once it has run.
  const std::optional<CleanReport>& Report() const { return report_; }

 private:
  void OnClean();
  void OnFilterChanged(const QString& text);
  void OnOpenContainingFolder();
  void OnCopyPath();
  void ShowTotals();
  void ShowReport(const CleanReport& report);
  void SizeOnce();

  CleanPlan plan_;
  CleanSettings options_;
  FileSystem& files_;
  ProgramLauncher& launcher_;
  WaitCursor& waitCursor_;
  std::optional<CleanReport> report_;

  CleanPlanModel* model_;
  QLabel* intro_;
  QLineEdit* filter_;
  QLabel* filterNote_;
  QTreeView* view_;
  QAction* openFolder_;
  QAction* copyPath_;
  QLabel* summary_;
  QListView* failures_;
  QStringListModel* failureLines_;
  QPushButton* cleanButton_;
  QPushButton* closeButton_;
};
