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

// A list of three text columns that takes every row and never has a
// selection. Column widths read back as they were set.
class MemoryListControl : public ListControl {
 public:
  int InsertRow(int row, const std::string& label) override;
  bool SetCellText(int row, int column, const std::string& text) override;
  std::optional<std::string> CellText(int row, int column) const override;
  bool DeleteRow(int row) override;
  int RowCount() const override { return static_cast<int>(rows_.size()); }
  int SelectedRow() const override { return -1; }
  void InsertColumn(int column, const std::string& heading, int width) override;
  std::optional<int> ColumnWidth(int column) const override;

 private:
  static constexpr int kColumns = 3;
  std::vector<std::vector<std::string>> rows_;  // kColumns cells each
  std::vector<int> widths_;
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
