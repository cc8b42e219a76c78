#include "ui/clean_plan_model.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include "resources/main_window_template.h"
#include "ui/byte_size_text.h"
#include "ui/narrow_text.h"

namespace {

// A category's group by its box's caption; the bin's groups name their
// bin folder after it: "Empty Waste Basket (/home/u/.local/share/Trash/files)".
std::string GroupCaption(const PlanGroup& group) {
  if (!group.category) return group.label;
  const std::string caption = main_window_template::CategoryCaption(*group.category);
  return group.label.empty() ? caption : caption + " (" + group.label + ")";
}

// A top row's internal id; a file row's is its group's number plus one.
constexpr quintptr kGroupRow = 0;

QString FilesText(std::size_t count) {
  return count == 1 ? QStringLiteral("1 file")
                    : QStringLiteral("%1 files").arg(GroupedNumber(count));
}

}  // namespace

QString KeptReasonText(SpareReason reason) {
  switch (reason) {
    case SpareReason::kHidden:
      return QStringLiteral("hidden");
    case SpareReason::kReadOnly:
      return QStringLiteral("read-only");
    case SpareReason::kSystem:
      return QStringLiteral("system");
    case SpareReason::kInUse:
      return QStringLiteral("in use");
    case SpareReason::kNone:
      break;
  }
  return {};
}

QString PathLineText(const std::string& path) {
  const QString text = ToDisplayText(path);
  QString line;
  line.reserve(text.size());
  for (const QChar c : text) {
    if (c == QLatin1Char('\n'))
      line += QStringLiteral("\\n");
    else if (c == QLatin1Char('\t'))
      line += QStringLiteral("\\t");
    else if (c.unicode() < 0x20 || c.unicode() == 0x7f)
      line += QStringLiteral("\\x%1").arg(c.unicode(), 2, 16, QLatin1Char('0'));
    else
      line += c;
  }
  return line;
}

CleanPlanModel::CleanPlanModel(const CleanPlan& plan, QObject* parent)
    : QAbstractItemModel(parent), plan_(plan), groups_(plan.Groups().size()) {
  const std::size_t count = plan.Count();
  for (std::size_t file = 0; file < count; ++file) ++groups_[plan.GroupAt(file)].count;
  std::size_t first = 0;
  for (Group& group : groups_) {
    group.first = first;
    first += group.count;
    group.count = 0;
  }
  filesByGroup_.resize(count);
  for (std::size_t file = 0; file < count; ++file) {
    Group& group = groups_[plan.GroupAt(file)];
    filesByGroup_[group.first + group.count++] = file;
    if (plan.MissingAt(file)) {
      ++totals_.missing;
      ++group.kept;
      continue;
    }
    switch (plan.SpareAt(file)) {
      case SpareReason::kNone:
        ++totals_.toDelete;
        group.bytes += plan.SizeAt(file);
        break;
      case SpareReason::kHidden:
        ++totals_.hidden;
        ++group.kept;
        break;
      case SpareReason::kReadOnly:
        ++totals_.readOnly;
        ++group.kept;
        break;
      case SpareReason::kSystem:
        ++totals_.system;
        ++group.kept;
        break;
      case SpareReason::kInUse:
        ++totals_.inUse;
        ++group.kept;
        break;
    }
  }
  for (const Group& group : groups_) totals_.bytes += group.bytes;
}

std::ptrdiff_t CleanPlanModel::PlanIndexOf(const QModelIndex& index) const {
  if (!index.isValid() || index.internalId() == kGroupRow) return -1;
  const Group& group = groups_[index.internalId() - 1];
  return static_cast<std::ptrdiff_t>(filesByGroup_[group.first + index.row()]);
}

QModelIndex CleanPlanModel::index(int row, int column, const QModelIndex& parent) const {
  if (row < 0 || column < 0 || column >= kColumnCount) return {};
  if (!parent.isValid()) {
    if (static_cast<std::size_t>(row) >= groups_.size()) return {};
    return createIndex(row, column, kGroupRow);
  }
  if (parent.internalId() != kGroupRow) return {};
  const std::size_t group = static_cast<std::size_t>(parent.row());
  if (static_cast<std::size_t>(row) >= groups_[group].count) return {};
  return createIndex(row, column, static_cast<quintptr>(group + 1));
}

QModelIndex CleanPlanModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kGroupRow) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kGroupRow);
}

int CleanPlanModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(groups_.size());
  if (parent.internalId() != kGroupRow || parent.column() != 0) return 0;
  return static_cast<int>(groups_[static_cast<std::size_t>(parent.row())].count);
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
  const Group& group = groups_[number];
  const std::size_t toDelete = group.count - group.kept;
  const PlanGroup& planGroup = plan_.Groups()[number];
  QString text = PathLineText(GroupCaption(planGroup)) + QStringLiteral(": ");
  if (toDelete == 0)
    text += QStringLiteral("nothing to delete");
  else
    text += QStringLiteral("%1 to delete (%2)").arg(FilesText(toDelete), ByteSizeText(group.bytes));
  if (group.kept) text += QStringLiteral(", %1 left alone").arg(GroupedNumber(group.kept));
  return text;
}

QVariant CleanPlanModel::FileData(std::size_t file, int column, int role) const {
  const bool missing = plan_.MissingAt(file);
  const SpareReason kept = plan_.SpareAt(file);
  if (role == Qt::ForegroundRole && (missing || kept != SpareReason::kNone))
    return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  switch (column) {
    case kFileColumn:
      return PathLineText(plan_.PathAt(file));
    case kSizeColumn:
      if (missing) return {};
      return role == Qt::ToolTipRole ? ByteTotalText(plan_.SizeAt(file))
                                     : ByteSizeText(plan_.SizeAt(file));
    case kKeptColumn:
      return missing ? QStringLiteral("not found") : KeptReasonText(kept);
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
