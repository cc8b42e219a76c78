#include "winui/list_view_control.h"

#include <commctrl.h>

#include <vector>

#include "platform/win32/wide_text.h"

namespace {

constexpr int kColumnCount = 3;

}  // namespace

int ListViewControl::ColumnCount() const {
  HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
  return header ? static_cast<int>(SendMessageW(header, HDM_GETITEMCOUNT, 0, 0)) : 0;
}

int ListViewControl::InsertRow(int row, const std::string& label) {
  if (row < 0 || row > RowCount()) return -1;
  std::wstring text = WideFromNarrow(label);
  LVITEMW item{};
  item.mask = LVIF_TEXT;
  item.iItem = row;
  item.pszText = text.data();
  return static_cast<int>(SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item)));
}

bool ListViewControl::SetCellText(int row, int column, const std::string& text) {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) return false;
  std::wstring wide = WideFromNarrow(text);
  LVITEMW item{};
  item.iSubItem = column;
  item.pszText = wide.data();
  return SendMessageW(list_, LVM_SETITEMTEXTW, static_cast<WPARAM>(row),
                      reinterpret_cast<LPARAM>(&item)) != FALSE;
}

std::optional<std::string> ListViewControl::CellText(int row, int column) const {
  if (row < 0 || row >= RowCount() || column < 0 || column >= kColumnCount) return std::nullopt;
  // The control gives at most the buffer's size less one: grow it until the
  // text fits with room to spare, so that a long path never comes back cut.
  std::vector<wchar_t> buffer(260);
  for (;;) {
    LVITEMW item{};
    item.iSubItem = column;
    item.pszText = buffer.data();
    item.cchTextMax = static_cast<int>(buffer.size());
    const auto length = static_cast<std::size_t>(SendMessageW(
        list_, LVM_GETITEMTEXTW, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(&item)));
    if (length + 1 < buffer.size()) return NarrowFromWide(std::wstring_view(item.pszText, length));
    buffer.resize(buffer.size() * 4);
  }
}

bool ListViewControl::DeleteRow(int row) {
  if (row < 0 || row >= RowCount()) return false;
  return SendMessageW(list_, LVM_DELETEITEM, static_cast<WPARAM>(row), 0) != FALSE;
}

int ListViewControl::RowCount() const {
  return static_cast<int>(SendMessageW(list_, LVM_GETITEMCOUNT, 0, 0));
}

int ListViewControl::SelectedRow() const {
  return static_cast<int>(
      SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
}

void ListViewControl::InsertColumn(int column, const std::string& heading, int width) {
  if (column < 0 || column > ColumnCount() || column >= kColumnCount) return;
  std::wstring text = WideFromNarrow(heading);
  LVCOLUMNW entry{};
  entry.mask = LVCF_FMT | LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
  entry.fmt = LVCFMT_LEFT;
  entry.cx = width;
  entry.pszText = text.data();
  entry.iSubItem = column;
  SendMessageW(list_, LVM_INSERTCOLUMNW, static_cast<WPARAM>(column),
               reinterpret_cast<LPARAM>(&entry));
}

std::optional<int> ListViewControl::ColumnWidth(int column) const {
  if (column < 0 || column >= ColumnCount()) return std::nullopt;
  return static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, static_cast<WPARAM>(column), 0));
}

void ListViewControl::Select(int row) {
  LVITEMW none{};
  none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(&none));
  LVITEMW chosen{};
  chosen.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
  chosen.state = LVIS_SELECTED | LVIS_FOCUSED;
  SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(row),
               reinterpret_cast<LPARAM>(&chosen));
}
