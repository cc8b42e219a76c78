#include "testing/fake_window.h"

namespace {
constexpr int kColumns = 3;
}

int InMemoryListControl::InsertRow(int row, const std::string& label) {
  if (refuseInserts || row < 0 || row > RowCount()) return -1;
  rows.insert(rows.begin() + row, std::vector<std::string>{label, "", ""});
  if (selected >= row) ++selected;
  return row;
}

bool InMemoryListControl::SetCellText(int row, int column, const std::string& text) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumns) return false;
  rows[row][column] = text;
  return true;
}

std::optional<std::string> InMemoryListControl::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumns) return std::nullopt;
  return rows[row][column];
}

bool InMemoryListControl::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return false;
  rows.erase(rows.begin() + row);
  if (selected == row)
    selected = -1;
  else if (selected > row)
    --selected;
  return true;
}

void InMemoryListControl::InsertColumn(int column, const std::string& heading, int width) {
  if (column < 0 || column > static_cast<int>(columns.size())) return;
  columns.insert(columns.begin() + column, Column{heading, width});
}

std::optional<int> InMemoryListControl::ColumnWidth(int column) const {
  if (column < 0 || column >= static_cast<int>(columns.size())) return std::nullopt;
  return columns[column].width;
}
