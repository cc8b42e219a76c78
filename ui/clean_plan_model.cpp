#include "ui/clean_plan_model.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include <unordered_map>
#include <utility>

#include "session/size_text.h"
#include "ui/narrow_text.h"

namespace {

// A top row's internal id; a file row's is its group's number plus one.
constexpr quintptr kGroupRow = 0;

QString Text(const std::string& utf8) { return ToDisplayText(utf8); }

}  // namespace

CleanPlanModel::CleanPlanModel(const CleanPlan& plan, QObject* parent)
    : QAbstractItemModel(parent), plan_(plan), listing_(plan) {}

std::ptrdiff_t CleanPlanModel::PlanIndexOf(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() == kGroupRow) return -1;
  const std::vector<std::size_t>& rows = listing_.Rows(index.internalId() - 1);
  return static_cast<std::ptrdiff_t>(rows[static_cast<std::size_t>(index.row())]);
}

std::string CleanPlanModel::PathAt(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  const std::ptrdiff_t file = PlanIndexOf(index);
  if (file < 0) return listing_.GroupFolder(static_cast<std::size_t>(index.row()));
  return plan_.PathAt(static_cast<std::size_t>(file));
}

std::string CleanPlanModel::FolderAt(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  const std::ptrdiff_t file = PlanIndexOf(index);
  if (file < 0) return PathAt(index);
  return listing_.ContainingFolder(static_cast<std::size_t>(file));
}

void CleanPlanModel::SetFilter(const QString& text) {
  std::string filter = ToNarrowText(text);
  if (filter == listing_.Filter()) return;
  Relayout([&] { listing_.SetFilter(std::move(filter)); });
  // The groups' rows count what is shown.
  if (listing_.GroupCount())
    emit dataChanged(index(0, 0), index(static_cast<int>(listing_.GroupCount()) - 1, 0));
}

std::size_t CleanPlanModel::ShownCount() const { return listing_.ShownCount(); }

void CleanPlanModel::SetOutcome(const CleanReport& report) {
  listing_.SetOutcome(report);
  if (listing_.GroupCount())
    emit dataChanged(index(0, 0), index(static_cast<int>(listing_.GroupCount()) - 1, 0));
}

void CleanPlanModel::sort(int column, Qt::SortOrder order) {
  Relayout([&] { listing_.Sort(column, order == Qt::AscendingOrder); });
}

template <class Change>
void CleanPlanModel::Relayout(Change change) {
  emit layoutAboutToBeChanged();
  const QModelIndexList before = persistentIndexList();
  std::vector<std::ptrdiff_t> files;
  files.reserve(static_cast<std::size_t>(before.size()));
  std::unordered_map<std::size_t, int> rowOf;
  for (const QModelIndex& index : before) {
    files.push_back(PlanIndexOf(index));
    if (files.back() >= 0) rowOf.emplace(static_cast<std::size_t>(files.back()), -1);
  }
  change();
  if (!rowOf.empty()) {
    for (std::size_t group = 0; group < listing_.GroupCount(); ++group) {
      const std::vector<std::size_t>& rows = listing_.Rows(group);
      for (std::size_t row = 0; row < rows.size(); ++row)
        if (auto found = rowOf.find(rows[row]); found != rowOf.end())
          found->second = static_cast<int>(row);
    }
  }
  QModelIndexList after;
  after.reserve(before.size());
  for (qsizetype at = 0; at < before.size(); ++at) {
    const QModelIndex& old = before[at];
    const std::ptrdiff_t file = files[static_cast<std::size_t>(at)];
    if (file < 0) {
      after << old;
      continue;
    }
    const int row = rowOf[static_cast<std::size_t>(file)];
    after << (row < 0 ? QModelIndex() : createIndex(row, old.column(), old.internalId()));
  }
  changePersistentIndexList(before, after);
  emit layoutChanged();
}

QModelIndex CleanPlanModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= kColumnCount) return {};
  if (!parent.isValid()) {
    if (static_cast<std::size_t>(row) >= listing_.GroupCount()) return {};
    return createIndex(row, column, kGroupRow);
  }
  if (parent.internalId() != kGroupRow) return {};
  const std::size_t group = static_cast<std::size_t>(parent.row());
  if (static_cast<std::size_t>(row) >= listing_.Rows(group).size()) return {};
  return createIndex(row, column, static_cast<quintptr>(group + 1));
}

QModelIndex CleanPlanModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kGroupRow) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kGroupRow);
}

int CleanPlanModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(listing_.GroupCount());
  if (parent.internalId() != kGroupRow || parent.column() != 0) return 0;
  return static_cast<int>(listing_.Rows(static_cast<std::size_t>(parent.row())).size());
}

int CleanPlanModel::columnCount(const QModelIndex&) const { return kColumnCount; }

QVariant CleanPlanModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole && index.column() == kSizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (index.internalId() == kGroupRow)
    return GroupData(static_cast<std::size_t>(index.row()), index.column(), role);
  return FileData(static_cast<std::size_t>(PlanIndexOf(index)), index.column(), role);
}

// A group row spans the whole width (the view sees to it), so that its
// label is cut as little as possible: one text tells it all.
QVariant CleanPlanModel::GroupData(std::size_t number, int column, int role) const {
  if (column != kFileColumn) return {};
  if (role == Qt::FontRole) {
    QFont bold;
    bold.setBold(true);
    return bold;
  }
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  return Text(listing_.GroupHeading(number));
}

QVariant CleanPlanModel::FileData(std::size_t file, int column, int role) const {
  if (role == Qt::ForegroundRole && listing_.IsKept(file))
    return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  switch (column) {
    case kFileColumn:
      // The tip gives the whole path.
      return Text(role == Qt::ToolTipRole ? PathLineText(plan_.PathAt(file))
                                          : listing_.FileText(file));
    case kSizeColumn:
      if (plan_.MissingAt(file)) return {};
      return Text(role == Qt::ToolTipRole ? ReadableTotal(plan_.SizeAt(file))
                                          : listing_.SizeText(file));
    case kKeptColumn:
      return Text(listing_.KeptText(file));
  }
  return {};
}

QVariant CleanPlanModel::headerData(int section, Qt::Orientation orientation, int role) const {
  if (orientation != Qt::Horizontal || role != Qt::DisplayRole) return {};
  switch (section) {
    case kFileColumn:
      return QStringLiteral("File");
    case kSizeColumn:
      return QStringLiteral("Size");
    case kKeptColumn:
      return QStringLiteral("Left alone because");
  }
  return {};
}
