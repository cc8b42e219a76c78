#pragma once

#include "winui/windows_api.h"

#include <optional>
#include <string>

#include "window/list_control.h"

// The entry list as a Win32 list-view control in report view: rows of three
// text columns, row 0 at the top. Texts are UTF-8 here and wide in the
// control; a cell is read back whole, however long it is.
class ListViewControl : public ListControl {
 public:
  explicit ListViewControl(HWND listView) : list_(listView) {}

  int InsertRow(int row, const std::string& label) override;
  bool SetCellText(int row, int column, const std::string& text) override;
  std::optional<std::string> CellText(int row, int column) const override;
  bool DeleteRow(int row) override;
  int RowCount() const override;
  int SelectedRow() const override;
  void InsertColumn(int column, const std::string& heading, int width) override;
  std::optional<int> ColumnWidth(int column) const override;

  // Makes `row` the only selected row and the focused one.
  void Select(int row);
  HWND Window() const { return list_; }

 private:
  int ColumnCount() const;

  HWND list_;
};
