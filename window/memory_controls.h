#pragma once

#include <map>
#include <optional>
#include <ostream>
#include <set>
#include <string>
#include <vector>

#include "window/list_control.h"
#include "window/message_box.h"
#include "window/window_controls.h"

// The main window's controls held in memory, for a run that never shows the
// window (the unattended clean at start-up, --clean and --preview). They
// keep what the window's widgets keep, in the form in which those give it
// back, so that saving from them writes what the window would write.

// Two-state boxes: any state but 0 reads back as 1, as a check box does.
class MemoryCheckBoxes : public CheckBoxes {
 public:
  int GetCheck(ControlId box) const override;
  void SetCheck(ControlId box, int state) override;
  void Enable(ControlId box, bool enabled) override;

  bool IsEnabled(ControlId box) const { return !disabled_.contains(box); }

 private:
  std::map<ControlId, int> checks_;
  std::set<ControlId> disabled_;
};

// A list of three text columns that takes every row. It has a selection
// only where one is made with Select (the window's user picks a row; in a
// run without a window nobody does), which follows its row as rows come
// and go above it, as in the window's list. Column widths read back as
// they were set.
class MemoryListControl : public ListControl {
 public:
  using Row = std::vector<std::string>;  // kColumns cells

  int InsertRow(int row, const std::string& label) override;
  bool SetCellText(int row, int column, const std::string& text) override;
  std::optional<std::string> CellText(int row, int column) const override;
  bool DeleteRow(int row) override;
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  int SelectedRow() const override { return selected_; }
  void InsertColumn(int column, const std::string& heading, int width) override;
  std::optional<int> ColumnWidth(int column) const override;

  // Selects `row`, or nothing when it isn't a row (-1, say).
  void Select(int row) { selected_ = row >= 0 && row < RowCount() ? row : -1; }
  // As the user leaves it after dragging the column's edge.
  void SetColumnWidth(int column, int width);
  std::optional<std::string> ColumnHeading(int column) const;
  const std::vector<Row>& Rows() const { return rows_; }

 private:
  static constexpr int kColumns = 3;
  struct Column {
    std::string heading;
    int width = 0;
  };
  std::vector<Row> rows_;
  std::vector<Column> columns_;
  int selected_ = -1;
};

// Keeps the last text; nobody sees it.
class MemoryStatusLine : public StatusLine {
 public:
  void SetText(const std::string& text) override { text_ = text; }
  void Repaint() override {}
  const std::string& Text() const { return text_; }

 private:
  std::string text_;
};

// There is no pointer to show a wait cursor on.
class NoWaitCursor : public WaitCursor {
 public:
  void Begin() override {}
  void End() override {}
};

// Writes each message as one line "caption: text" to a stream (standard
// error, say) and answers as a user who pressed Enter would: OK, or Cancel
// where Cancel is the default, so that no question is taken as a yes.
class StreamMessageBox : public MessageBox {
 public:
  explicit StreamMessageBox(std::ostream& out) : out_(out) {}
  MessageAnswer Show(const MessageRequest& request) override;

 private:
  std::ostream& out_;
};
