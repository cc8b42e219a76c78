#pragma once

#include <QDialog>

#include <optional>

#include "engine/clean_plan.h"
#include "platform/file_system.h"
#include "settings/clean_settings.h"
#include "window/window_controls.h"

class CleanPlanModel;
class QLabel;
class QListView;
class QPushButton;
class QStringListModel;
class QTreeView;

// The preview of a clean: the files it would delete, grouped by the category
// or entry they came from, with their sizes, the totals and the files the
// options would keep. Its Clean deletes exactly the files shown (a file that
// changed or appeared since is left alone) and then shows what happened;
// Close deletes nothing. A plan is carried out once: after Clean, only Close
// is left.
class PreviewDialog : public QDialog {
  Q_OBJECT

 public:
  // `plan` was gathered, with its guard, under `options`; `files` and the
  // wait cursor outlive the dialog.
  PreviewDialog(CleanPlan plan, const CleanSettings& options, FileSystem& files,
                WaitCursor& waitCursor, QWidget* owner);
  ~PreviewDialog() override;

  // Runs the dialog modal to its owner window.
  int DoModal();

  // The outcome of the Clean, once it has run.
  const std::optional<CleanReport>& Report() const { return report_; }

 private:
  void OnClean();
  void ShowTotals();
  void ShowReport(const CleanReport& report);
  void SizeOnce();

  CleanPlan plan_;
  CleanSettings options_;
  FileSystem& files_;
  WaitCursor& waitCursor_;
  std::optional<CleanReport> report_;

  CleanPlanModel* model_;
  QLabel* intro_;
  QTreeView* view_;
  QLabel* summary_;
  QListView* failures_;
  QStringListModel* failureLines_;
  QPushButton* cleanButton_;
  QPushButton* closeButton_;
};
