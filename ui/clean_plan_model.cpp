#include "ui/clean_plan_model.h"

#include <QFont>
#include <QGuiApplication>
#include <QPalette>

#include <algorithm>
#include <unordered_map>
#include <utility>

#include "engine/sweep.h"

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
  for (std::size_t number = 0; number < groups_.size(); ++number)
    groups_[number].folder = plan.GroupFolder(number);
  for (std::size_t file = 0; file < count; ++file) {
    Group& group = groups_[plan.GroupAt(file)];
    group.files.push_back(file);
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
  return static_cast<std::ptrdiff_t>(Rows(group)[static_cast<std::size_t>(index.row())]);
}

std::string CleanPlanModel::PathAt(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  const std::ptrdiff_t file = PlanIndexOf(index);
  if (file < 0) return groups_[static_cast<std::size_t>(index.row())].folder;
  return plan_.PathAt(static_cast<std::size_t>(file));
}

std::string CleanPlanModel::FolderAt(const QModelIndex& index) const {
  if (!index.isValid()) return {};
  if (PlanIndexOf(index) < 0) return PathAt(index);
  const std::string path = PathAt(index);
  const std::size_t slash = path.rfind(kPathSeparator);
  if (slash == std::string::npos) return {};
  return path.substr(0, slash == 0 ? 1 : slash);
}

// The path below the group's folder, or the whole path where it lies
// elsewhere.
QString CleanPlanModel::RelativePath(const Group& group, std::size_t file) const {
  const std::string path = plan_.PathAt(file);
  const std::string& folder = group.folder;
  std::size_t cut = 0;
  if (!folder.empty() && path.size() > folder.size() && path.starts_with(folder)) {
    if (folder.back() == kPathSeparator)
      cut = folder.size();
    else if (path[folder.size()] == kPathSeparator)
      cut = folder.size() + 1;
  }
  return PathLineText(cut ? path.substr(cut) : path);
}

void CleanPlanModel::SetFilter(const QString& text) {
  if (text == filter_) return;
  Relayout([&] {
    filter_ = text;
    ApplyFilter();
  });
  // The groups' rows count what is shown.
  if (!groups_.empty())
    emit dataChanged(index(0, 0), index(static_cast<int>(groups_.size()) - 1, 0));
}

void CleanPlanModel::ApplyFilter() {
  for (Group& group : groups_) {
    group.shown.clear();
    if (filter_.isEmpty()) continue;
    for (const std::size_t file : group.files)
      if (RelativePath(group, file).contains(filter_, Qt::CaseInsensitive))
        group.shown.push_back(file);
  }
}

std::size_t CleanPlanModel::ShownCount() const {
  std::size_t shown = 0;
  for (const Group& group : groups_) shown += Rows(group).size();
  return shown;
}

void CleanPlanModel::SetOutcome(const CleanReport& report) {
  outcome_ = report.groups;
  if (!groups_.empty())
    emit dataChanged(index(0, 0), index(static_cast<int>(groups_.size()) - 1, 0));
}

namespace {

// The reasons in the order a sort by them shows: the files that go first.
int KeptRank(const CleanPlan& plan, std::size_t file) {
  if (plan.MissingAt(file)) return 5;
  switch (plan.SpareAt(file)) {
    case SpareReason::kNone:
      return 0;
    case SpareReason::kHidden:
      return 1;
    case SpareReason::kReadOnly:
      return 2;
    case SpareReason::kSystem:
      return 3;
    case SpareReason::kInUse:
      return 4;
  }
  return 0;
}

}  // namespace

void CleanPlanModel::sort(int column, Qt::SortOrder order) {
  Relayout([&] {
    for (Group& group : groups_) {
      if (column < 0 || column >= kColumnCount) {
        std::sort(group.files.begin(), group.files.end());
        continue;
      }
      // Each file's key once: a path is built from the plan's names.
      std::vector<std::pair<QVariant, std::size_t>> keyed;
      keyed.reserve(group.files.size());
      std::sort(group.files.begin(), group.files.end());
      for (const std::size_t file : group.files) {
        QVariant key;
        if (column == kFileColumn)
          key = RelativePath(group, file);
        else if (column == kSizeColumn)
          key = QVariant::fromValue<qulonglong>(plan_.MissingAt(file) ? 0 : plan_.SizeAt(file));
        else
          key = KeptRank(plan_, file);
        keyed.emplace_back(std::move(key), file);
      }
      const auto less = [column](const QVariant& a, const QVariant& b) {
        if (column == kFileColumn)
          return QString::compare(a.toString(), b.toString(), Qt::CaseInsensitive) < 0;
        return a.toULongLong() < b.toULongLong();
      };
      std::stable_sort(keyed.begin(), keyed.end(), [&](const auto& a, const auto& b) {
        return order == Qt::AscendingOrder ? less(a.first, b.first) : less(b.first, a.first);
      });
      for (std::size_t at = 0; at < keyed.size(); ++at) group.files[at] = keyed[at].second;
    }
    ApplyFilter();
  });
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
    for (const Group& group : groups_) {
      const std::vector<std::size_t>& rows = Rows(group);
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
    if (static_cast<std::size_t>(row) >= groups_.size()) return {};
    return createIndex(row, column, kGroupRow);
  }
  if (parent.internalId() != kGroupRow) return {};
  const std::size_t group = static_cast<std::size_t>(parent.row());
  if (static_cast<std::size_t>(row) >= Rows(groups_[group]).size()) return {};
  return createIndex(row, column, static_cast<quintptr>(group + 1));
}

QModelIndex CleanPlanModel::parent(const QModelIndex& child) const {
  if (!child.isValid() || child.internalId() == kGroupRow) return {};
  return createIndex(static_cast<int>(child.internalId() - 1), 0, kGroupRow);
}

int CleanPlanModel::rowCount(const QModelIndex& parent) const {
  if (!parent.isValid()) return static_cast<int>(groups_.size());
  if (parent.internalId() != kGroupRow || parent.column() != 0) return 0;
  return static_cast<int>(Rows(groups_[static_cast<std::size_t>(parent.row())]).size());
}

int CleanPlanModel::columnCount(const QModelIndex&) const { return kColumnCount; }

QVariant CleanPlanModel::data(const QModelIndex& index, int role) const {
  if (!index.isValid()) return {};
  if (role == Qt::TextAlignmentRole && index.column() == kSizeColumn)
    return QVariant::fromValue(Qt::AlignRight | Qt::AlignVCenter);
  if (index.internalId() == kGroupRow)
    return GroupData(static_cast<std::size_t>(index.row()), index.column(), role);
  return FileData(groups_[index.internalId() - 1], static_cast<std::size_t>(PlanIndexOf(index)),
                  index.column(), role);
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
  const PlanGroup& planGroup = plan_.Groups()[number];
  std::string caption = GroupCaption(planGroup);
  // A category's files lie in its folder, which its caption doesn't name.
  if (planGroup.category && planGroup.label.empty() && !group.folder.empty())
    caption += " (" + group.folder + ")";
  QString text = PathLineText(caption) + QStringLiteral(": ");
  if (number < outcome_.size()) {
    const CleanReport::GroupOutcome& outcome = outcome_[number];
    QStringList parts;
    if (outcome.deleted)
      parts << QStringLiteral("%1 deleted (%2)")
                   .arg(FilesText(outcome.deleted), ByteSizeText(outcome.bytesFreed));
    else
      parts << QStringLiteral("nothing deleted");
    if (outcome.leftAlone)
      parts << QStringLiteral("%1 left alone").arg(GroupedNumber(outcome.leftAlone));
    if (outcome.failed) parts << QStringLiteral("%1 failed").arg(GroupedNumber(outcome.failed));
    if (outcome.vanished)
      parts << QStringLiteral("%1 not found").arg(GroupedNumber(outcome.vanished));
    text += parts.join(QStringLiteral(", "));
  } else {
    const std::size_t toDelete = group.files.size() - group.kept;
    if (toDelete == 0)
      text += QStringLiteral("nothing to delete");
    else
      text +=
          QStringLiteral("%1 to delete (%2)").arg(FilesText(toDelete), ByteSizeText(group.bytes));
    if (group.kept) text += QStringLiteral(", %1 left alone").arg(GroupedNumber(group.kept));
  }
  if (!filter_.isEmpty())
    text += QStringLiteral("; %1 of them shown").arg(GroupedNumber(group.shown.size()));
  return text;
}

QVariant CleanPlanModel::FileData(const Group& group, std::size_t file, int column,
                                  int role) const {
  const bool missing = plan_.MissingAt(file);
  const SpareReason kept = plan_.SpareAt(file);
  if (role == Qt::ForegroundRole && (missing || kept != SpareReason::kNone))
    return QGuiApplication::palette().brush(QPalette::Disabled, QPalette::Text);
  if (role != Qt::DisplayRole && role != Qt::ToolTipRole) return {};
  switch (column) {
    case kFileColumn:
      // The tip gives the whole path.
      return role == Qt::ToolTipRole ? PathLineText(plan_.PathAt(file)) : RelativePath(group, file);
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
