#pragma once

#include <QAbstractItemModel>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/clean_plan.h"
#include "session/plan_listing.h"

// A clean plan as a two-level tree for a view: one top row per category or
// entry the files came from, in the plan's order, with its counts in one
// text, and below it its files, in the order they would be deleted unless
// sorted by a column. A file's columns: its path within its group's folder
// (which the group's row names), its size, and why it would be left alone
// ("hidden", "read-only", "system", "in use", "not found"; empty when it
// would be deleted). Nothing is made per file but one index: the texts are
// built when the view asks for the rows it shows, so a plan of a million
// files opens as fast as one of ten. Sorting and the filter change what is
// shown only, never the plan.
class CleanPlanModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Column {
    kFileColumn = PlanListing::kFileColumn,
    kSizeColumn = PlanListing::kSizeColumn,
    kKeptColumn = PlanListing::kKeptColumn,
    kColumnCount = PlanListing::kColumnCount
  };

  // The plan must outlive the model.
  explicit CleanPlanModel(const CleanPlan& plan, QObject* parent = nullptr);

  const PlanTotals& Totals() const { return listing_.Totals(); }
  // The plan's index of the file at `index`, or -1 for a group row.
  std::ptrdiff_t PlanIndexOf(const QModelIndex& index) const;
  // The folder a group row names, or the folder that holds a file row's
  // file; the whole path of a file, or a group's folder.
  std::string FolderAt(const QModelIndex& index) const;
  std::string PathAt(const QModelIndex& index) const;

  // Shows only the files whose path within their group's folder holds
  // `text` (letters of either case); an empty text shows every file. The
  // groups' rows stay.
  void SetFilter(const QString& text);
  QString Filter() const { return QString::fromStdString(listing_.Filter()); }
  // Files shown under the filter.
  std::size_t ShownCount() const;

  // After the plan was carried out: the groups' rows tell what became of
  // their files instead of what would.
  void SetOutcome(const CleanReport& report);

  // Sorts each group's files by the column; -1 gives back the plan's order.
  // Files that compare equal keep the plan's order.
  void sort(int column, Qt::SortOrder order = Qt::AscendingOrder) override;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  // Runs `change`, which may reorder and narrow the rows, keeping the
  // view's selection and current row on the same files.
  template <class Change>
  void Relayout(Change change);

  QVariant GroupData(std::size_t group, int column, int role) const;
  QVariant FileData(std::size_t file, int column, int role) const;

  const CleanPlan& plan_;
  PlanListing listing_;
};
