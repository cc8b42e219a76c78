#pragma once

#include <optional>
#include <string>

// The widths in pixels a column of the entry list may have, whichever
// control shows it: a stored width outside them (a damaged or hand-edited
// value) is brought within them when the columns are made, so that every
// start shows, and saves, the same widths.
inline constexpr int kMinimumColumnWidth = 16;
inline constexpr int kMaximumColumnWidth = 8192;

// A report list of text rows with three columns, the form in which the main
// window holds the custom entries. Row 0 is the top row.
class ListControl {
 public:
  virtual ~ListControl() = default;

  // Inserts a row at `row` whose column 0 holds `label`; the other columns
  // are empty. Returns the index of the new row, or -1 when it was refused.
  virtual int InsertRow(int row, const std::string& label) = 0;
  // Sets the text of one cell; false when there is no such row or column.
  virtual bool SetCellText(int row, int column, const std::string& text) = 0;
  // The text of one cell, or nothing when there is no such row or column.
  virtual std::optional<std::string> CellText(int row, int column) const = 0;
  // False when there is no such row.
  virtual bool DeleteRow(int row) = 0;
  virtual int RowCount() const = 0;
  // The first selected row from the top, or -1.
  virtual int SelectedRow() const = 0;

  // Creates a left-aligned column. Done once, by the settings loader.
  virtual void InsertColumn(int column, const std::string& heading, int width) = 0;
  // Width in pixels, or nothing when there is no such column.
  virtual std::optional<int> ColumnWidth(int column) const = 0;
};
