#include "ui/entry_list_view.h"

#include <QContextMenuEvent>
#include <QFile>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMouseEvent>
#include <QStyledItemDelegate>

#include <functional>
#include <utility>

#include "ui/narrow_text.h"

namespace {

constexpr int kColumnCount = 3;
constexpr int kPathColumn = 0;
constexpr int kBytesRole = Qt::UserRole;

// Hands the edited text to the list instead of writing it into the cell.
class LabelEditDelegate : public QStyledItemDelegate {
 public:
  LabelEditDelegate(std::function<void(int, const QString&)> take, QObject* parent)
      : QStyledItemDelegate(parent), take_(std::move(take)) {}

  void setModelData(QWidget* editor, QAbstractItemModel*, const QModelIndex& index) const override {
    if (auto* line = qobject_cast<QLineEdit*>(editor)) take_(index.row(), line->text());
  }

 private:
  std::function<void(int, const QString&)> take_;
};

}  // namespace

EntryListView::EntryListView(QWidget* parent) : QTreeWidget(parent) {
  setColumnCount(0);
  setRootIsDecorated(false);
  setItemsExpandable(false);
  setUniformRowHeights(true);
  setSortingEnabled(false);
  setSelectionMode(QAbstractItemView::SingleSelection);
  setSelectionBehavior(QAbstractItemView::SelectRows);
  setEditTriggers(QAbstractItemView::SelectedClicked | QAbstractItemView::EditKeyPressed);
  header()->setStretchLastSection(false);
  header()->setSectionsMovable(false);
  header()->setSectionResizeMode(QHeaderView::Interactive);
  // The bounds every start keeps a column's width in (the style's own
  // minimum would widen a narrow stored width in the window alone).
  header()->setMinimumSectionSize(kMinimumColumnWidth);
  header()->setMaximumSectionSize(kMaximumColumnWidth);
  setItemDelegate(new LabelEditDelegate(
      [this](int row, const QString& text) { TakeEditedLabel(row, text); }, this));
}

QTreeWidgetItem* EntryListView::Row(int row) const {
  if (row < 0 || row >= topLevelItemCount()) return nullptr;
  return topLevelItem(row);
}

int EntryListView::InsertRow(int row, const std::string& label) {
  if (row < 0 || row > topLevelItemCount()) return -1;
  auto* item = new QTreeWidgetItem;
  item->setFlags(item->flags() | Qt::ItemIsEditable);
  for (int column = 0; column < kColumnCount; ++column)
    item->setData(column, kBytesRole, QByteArray());
  insertTopLevelItem(row, item);
  SetCellText(row, kPathColumn, label);
  ForgetSelection();
  return row;
}

bool EntryListView::SetCellText(int row, int column, const std::string& text) {
  QTreeWidgetItem* item = Row(row);
  if (!item || column < 0 || column >= kColumnCount) return false;
  item->setData(column, kBytesRole, QByteArray::fromStdString(text));
  item->setText(column, ToDisplayText(text));
  // A long path is cut in its column: the whole of it shows over the row.
  if (column == kPathColumn)
    for (int each = 0; each < kColumnCount; ++each) item->setToolTip(each, item->text(column));
  return true;
}

std::optional<std::string> EntryListView::CellText(int row, int column) const {
  const QTreeWidgetItem* item = Row(row);
  if (!item || column < 0 || column >= kColumnCount) return std::nullopt;
  return item->data(column, kBytesRole).toByteArray().toStdString();
}

bool EntryListView::DeleteRow(int row) {
  QTreeWidgetItem* item = Row(row);
  if (!item) return false;
  delete item;
  ForgetSelection();
  return true;
}

int EntryListView::RowCount() const { return topLevelItemCount(); }

int EntryListView::SelectedRow() const {
  for (int row = 0; row < topLevelItemCount(); ++row)
    if (topLevelItem(row)->isSelected()) return row;
  return -1;
}

void EntryListView::InsertColumn(int column, const std::string& heading, int width) {
  if (column < 0 || column > static_cast<int>(headings_.size()) || column >= kColumnCount) return;
  headings_.insert(headings_.begin() + column, ToDisplayText(heading));
  setColumnCount(static_cast<int>(headings_.size()));
  setHeaderLabels(QStringList(headings_.begin(), headings_.end()));
  // The stored widths may be too narrow for a heading in this font.
  for (int each = 0; each < columnCount(); ++each)
    headerItem()->setToolTip(each, headings_[static_cast<size_t>(each)]);
  setColumnWidth(column, width);
}

std::optional<int> EntryListView::ColumnWidth(int column) const {
  if (column < 0 || column >= static_cast<int>(headings_.size())) return std::nullopt;
  return columnWidth(column);
}

void EntryListView::ForgetSelection() {
  // Qt moves the selection to a neighbour of a removed row, where the next
  // Delete would remove an entry the user never picked. After any row is
  // added or removed no row is selected; the user picks again.
  if (selectionModel()) selectionModel()->clear();
}

QPoint EntryListView::MenuPosition() const {
  const QTreeWidgetItem* selected = Row(SelectedRow());
  const QRect row = selected ? visualItemRect(selected) : QRect();
  const QPoint at = row.isValid() ? row.bottomLeft() : QPoint(0, 0);
  return viewport()->mapToGlobal(at);
}

void EntryListView::keyPressEvent(QKeyEvent* event) {
  const Qt::KeyboardModifiers held = event->modifiers() & ~Qt::KeypadModifier;
  const bool menuKey = (event->key() == Qt::Key_Menu && held == Qt::NoModifier) ||
                       (event->key() == Qt::Key_F10 && held == Qt::ShiftModifier);
  if (menuKey) {
    emit menuKeyPressed(MenuPosition());
    return;
  }
  if (event->key() == Qt::Key_Delete && held == Qt::NoModifier) {
    emit deleteKeyPressed();
    return;
  }
  // Enter is the key that opens a row in a list: it must never fall through
  // to the window, where it would run a whole clean. Without a selected row
  // it does nothing.
  const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
  if (enter && held == Qt::NoModifier && state() != QAbstractItemView::EditingState) {
    event->accept();
    if (SelectedRow() >= 0) emit openKeyPressed();
    return;
  }
  QTreeWidget::keyPressEvent(event);
}

void EntryListView::contextMenuEvent(QContextMenuEvent* event) {
  // A right click is reported on its release (listRightClicked); a menu
  // asked for from the keyboard opens at the selected row.
  if (event->reason() == QContextMenuEvent::Mouse) {
    event->ignore();
    return;
  }
  event->accept();
  emit menuKeyPressed(MenuPosition());
}

void EntryListView::mouseReleaseEvent(QMouseEvent* event) {
  QTreeWidget::mouseReleaseEvent(event);
  if (event->button() == Qt::LeftButton) emit listClicked();
  if (event->button() == Qt::RightButton) emit listRightClicked(event->globalPosition().toPoint());
}

void EntryListView::mouseDoubleClickEvent(QMouseEvent* event) {
  QTreeWidget::mouseDoubleClickEvent(event);
  if (event->button() == Qt::LeftButton) emit listDoubleClicked();
}

bool EntryListView::edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) {
  // Only the path is edited in place; the wildcard and the recursion are
  // changed in the entry editor, which checks them.
  if (index.column() != kPathColumn) return false;
  return QTreeWidget::edit(index, trigger, event);
}

void EntryListView::TakeEditedLabel(int row, const QString& text) {
  const QTreeWidgetItem* item = Row(row);
  if (!item) return;
  // Unchanged text keeps its bytes: decoding may not have been reversible.
  const QByteArray bytes = text == item->text(kPathColumn)
                               ? item->data(kPathColumn, kBytesRole).toByteArray()
                               : QFile::encodeName(text);
  emit labelEditEnded(row, bytes);
}
