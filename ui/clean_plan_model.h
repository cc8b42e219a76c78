#pragma once

#include <QAbstractItemModel>

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "engine/clean_plan.h"

// What a plan holds, counted once: the files that would go and their bytes,
// and the files that would be left alone for each reason, the options' or
// because nothing was found at their path.
struct PlanTotals {
  std::size_t toDelete = 0;
  std::uint64_t bytes = 0;
  std::size_t hidden = 0, readOnly = 0, system = 0, inUse = 0, missing = 0;

  std::size_t Kept() const { return hidden + readOnly + system + inUse + missing; }
};

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
  enum Column { kFileColumn, kSizeColumn, kKeptColumn, kColumnCount };

  // The plan must outlive the model.
  explicit CleanPlanModel(const CleanPlan& plan, QObject* parent = nullptr);

  const PlanTotals& Totals() const { return totals_; }
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
  const QString& Filter() const { return filter_; }
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
  struct Group {
    std::vector<std::size_t> files;  // the plan's indexes, in the order chosen
    std::vector<std::size_t> shown;  // those the filter lets through, when there is one
    std::uint64_t bytes = 0;         // of the files that would go
    std::size_t kept = 0;
    std::string folder;
  };

  const std::vector<std::size_t>& Rows(const Group& group) const {
    return filter_.isEmpty() ? group.files : group.shown;
  }
  QString RelativePath(const Group& group, std::size_t file) const;
  void ApplyFilter();
  // Runs `change`, which may reorder and narrow the rows, keeping the
  // view's selection and current row on the same files.
  template <class Change>
  void Relayout(Change change);

  QVariant GroupData(std::size_t group, int column, int role) const;
  QVariant FileData(const Group& group, std::size_t file, int column, int role) const;

  const CleanPlan& plan_;
  std::vector<Group> groups_;
  PlanTotals totals_;
  QString filter_;
  std::vector<CleanReport::GroupOutcome> outcome_;  // empty before the Clean
};

// The word for a reason to keep a file, as the preview and its report show it.
QString KeptReasonText(SpareReason reason);

// A path as one line of text: bytes that aren't UTF-8 show as the
// replacement character and control characters as escapes ("\n" for a
// newline in a name), so that every row keeps the height of one line.
QString PathLineText(const std::string& path);
