#pragma once

#include <QByteArray>
#include <QPoint>
#include <QTreeWidget>

#include <optional>
#include <string>
#include <vector>

#include "window/list_control.h"

// The main window's list of custom entries: a report list with three text
// columns, single selection, every new row at the top, and in-place editing
// of the first column. Cells hold byte strings; they are shown decoded, and
// a cell that the user didn't change keeps its bytes, so names that are not
// valid in the locale's encoding survive.
//
// The list reports the user's actions instead of acting on them: an ended
// in-place edit changes no cell by itself, the window decides what to take.
class EntryListView : public QTreeWidget, public ListControl {
  Q_OBJECT

 public:
  explicit EntryListView(QWidget* parent = nullptr);

  int InsertRow(int row, const std::string& label) override;
  bool SetCellText(int row, int column, const std::string& text) override;
  std::optional<std::string> CellText(int row, int column) const override;
  bool DeleteRow(int row) override;
  int RowCount() const override;
  int SelectedRow() const override;
  void InsertColumn(int column, const std::string& heading, int width) override;
  std::optional<int> ColumnWidth(int column) const override;

  // True while a row's path is being edited in place.
  bool IsEditingLabel() const { return state() == QAbstractItemView::EditingState; }

 signals:
  // A left click in the rows' area, whether or not it hit a row.
  void listClicked();
  void listDoubleClicked();
  // A right click in the rows' area, at this screen position.
  void listRightClicked(QPoint screenPosition);
  // An in-place edit of `row`'s path was confirmed with `text` (bytes); a
  // cancelled edit reports nothing.
  void labelEditEnded(int row, QByteArray text);
  // The Menu key or Shift+F10: the pop-up menu belongs at this screen
  // position, below the selected row.
  void menuKeyPressed(QPoint screenPosition);
  void deleteKeyPressed();
  // Enter (or Return) on a selected row: open it, as a double-click does.
  void openKeyPressed();

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;
  bool edit(const QModelIndex& index, EditTrigger trigger, QEvent* event) override;

 private:
  void TakeEditedLabel(int row, const QString& text);
  void ForgetSelection();
  QPoint MenuPosition() const;
  QTreeWidgetItem* Row(int row) const;

  std::vector<QString> headings_;
};
