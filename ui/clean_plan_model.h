#pragma once

#include <QAbstractItemModel>

#include <cstddef>
#include <cstdint>
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
// text, and below it its files in the order they would be deleted. A file's
// columns: its path, its size, and why it would be left alone ("hidden",
// "read-only", "system", "in use", "not found"; empty when it would be deleted). Nothing is made
// per file but one index: the texts are built when the view asks for the rows it shows, so a plan
// of a million files opens as fast as one of ten.
class CleanPlanModel : public QAbstractItemModel {
  Q_OBJECT

 public:
  enum Column { kFileColumn, kSizeColumn, kKeptColumn, kColumnCount };

  // The plan must outlive the model.
  explicit CleanPlanModel(const CleanPlan& plan, QObject* parent = nullptr);

  const PlanTotals& Totals() const { return totals_; }
  // The plan's index of the file at `index`, or -1 for a group row.
  std::ptrdiff_t PlanIndexOf(const QModelIndex& index) const;

  QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
  QModelIndex parent(const QModelIndex& child) const override;
  int rowCount(const QModelIndex& parent = {}) const override;
  int columnCount(const QModelIndex& parent = {}) const override;
  QVariant data(const QModelIndex& index, int role = Qt::DisplayRole) const override;
  QVariant headerData(int section, Qt::Orientation orientation,
                      int role = Qt::DisplayRole) const override;

 private:
  struct Group {
    std::size_t first = 0;  // into filesByGroup_
    std::size_t count = 0;
    std::uint64_t bytes = 0;  // of the files that would go
    std::size_t kept = 0;
  };

  QVariant GroupData(std::size_t group, int column, int role) const;
  QVariant FileData(std::size_t file, int column, int role) const;

  const CleanPlan& plan_;
  std::vector<Group> groups_;
  // The plan's file indexes sorted by group, each group in plan order.
  std::vector<std::size_t> filesByGroup_;
  PlanTotals totals_;
};

// The word for a reason to keep a file, as the preview and its report show it.
QString KeptReasonText(SpareReason reason);

// A path as one line of text: bytes that aren't UTF-8 show as the
// replacement character and control characters as escapes ("\n" for a
// newline in a name), so that every row keeps the height of one line.
QString PathLineText(const std::string& path);
