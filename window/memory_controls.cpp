#include "window/memory_controls.h"

int MemoryCheckBoxes::GetCheck(ControlId box) const {
  const auto found = checks_.find(box);
  return found != checks_.end() ? found->second : 0;
}

void MemoryCheckBoxes::SetCheck(ControlId box, int state) { checks_[box] = state != 0 ? 1 : 0; }

void MemoryCheckBoxes::Enable(ControlId box, bool enabled) {
  if (enabled)
    disabled_.erase(box);
  else
    disabled_.insert(box);
}

int MemoryListControl::InsertRow(int row, const std::string& label) {
  if (row < 0 || row > RowCount()) return -1;
  rows_.insert(rows_.begin() + row, Row{label, "", ""});
  if (selected_ >= row) ++selected_;
  return row;
}

bool MemoryListControl::SetCellText(int row, int column, const std::string& text) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumns) return false;
  rows_[row][column] = text;
  return true;
}

std::optional<std::string> MemoryListControl::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumns) return std::nullopt;
  return rows_[row][column];
}

bool MemoryListControl::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return false;
  rows_.erase(rows_.begin() + row);
  if (selected_ == row)
    selected_ = -1;
  else if (selected_ > row)
    --selected_;
  return true;
}

void MemoryListControl::InsertColumn(int column, const std::string& heading, int width) {
  if (column < 0 || column > static_cast<int>(columns_.size()) || column >= kColumns) return;
  columns_.insert(columns_.begin() + column, Column{heading, width});
}

std::optional<int> MemoryListControl::ColumnWidth(int column) const {
  if (column < 0 || column >= static_cast<int>(columns_.size())) return std::nullopt;
  return columns_[column].width;
}

void MemoryListControl::SetColumnWidth(int column, int width) {
  if (column >= 0 && column < static_cast<int>(columns_.size())) columns_[column].width = width;
}

std::optional<std::string> MemoryListControl::ColumnHeading(int column) const {
  if (column < 0 || column >= static_cast<int>(columns_.size())) return std::nullopt;
  return columns_[column].heading;
}

MessageAnswer StreamMessageBox::Show(const MessageRequest& request) {
  out_ << request.caption << ": " << request.text << '\n';
  return request.buttons == MessageButtons::kOkCancelDefaultCancel ? MessageAnswer::kCancel
                                                                   : MessageAnswer::kOk;
}
