#include "winui/preview_window.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <exception>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "platform/win32/wide_text.h"
#include "resources/preview_window_template.h"
#include "session/plan_listing.h"
#include "winui/anchored_layout.h"
#include "winui/dialog_from_template.h"

namespace {

namespace tpl = preview_window_template;

// The engine joins names with '/', which Windows also reads; shown, copied
// or handed to Explorer, a path reads as Windows writes it.
std::wstring NativePath(const std::string& path) {
  std::wstring wide = WideFromNarrow(path);
  std::replace(wide.begin(), wide.end(), L'/', L'\\');
  return wide;
}

std::string Trimmed(const std::string& text) {
  const std::size_t first = text.find_first_not_of(" \t");
  if (first == std::string::npos) return {};
  return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// The list grows with the window, the texts below it and the buttons
// keep to the bottom.
constexpr Anchor kAnchors[] = {
    {tpl::kIntro, true, false, false, false},      {tpl::kFilter, true, false, false, false},
    {tpl::kFilterNote, true, false, false, false}, {tpl::kFiles, true, true, false, false},
    {tpl::kSummary, true, false, false, true},     {tpl::kFailures, true, false, false, true},
    {tpl::kClean, false, false, true, true},       {tpl::kClose, false, false, true, true},
};

// A row of the list: a file of the plan, or a group's heading.
struct Row {
  std::size_t group;
  std::ptrdiff_t file;  // the plan's index, or kHeading
  bool operator==(const Row&) const = default;
};
constexpr std::ptrdiff_t kHeading = -1;

// Whether the list view shows groups of its own: comctl32 6 on Windows
// does; an older one, and Wine's, don't. Asked of a list view made for the
// question, since a list that is to hold no items must be made so.
bool ListViewDrawsGroups() {
  HWND probe = CreateWindowExW(0, WC_LISTVIEWW, L"", WS_POPUP | LVS_REPORT, 0, 0, 10, 10, nullptr,
                               nullptr, nullptr, nullptr);
  if (!probe) return false;
  SendMessageW(probe, LVM_ENABLEGROUPVIEW, TRUE, 0);
  const bool grouped = SendMessageW(probe, LVM_ISGROUPVIEWENABLED, 0, 0) != 0;
  DestroyWindow(probe);
  return grouped;
}

class PreviewWindow {
 public:
  PreviewWindow(CleanPlan plan, const CleanSettings& settings, FileSystem& files,
                ProgramLauncher& launcher, WaitCursor& waitCursor, Win32UiServices& ui)
      : plan_(std::move(plan)),
        settings_(settings),
        files_(files),
        launcher_(launcher),
        waitCursor_(waitCursor),
        ui_(ui),
        listing_(plan_) {}
  ~PreviewWindow() {
    if (boldFont_) DeleteObject(boldFont_);
  }
  PreviewWindow(const PreviewWindow&) = delete;
  PreviewWindow& operator=(const PreviewWindow&) = delete;

  void Run(HWND owner) {
    INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES};
    InitCommonControlsEx(&classes);
    grouped_ = ListViewDrawsGroups();
    const ProvidedControl provided[] = {
        {tpl::kFiles, WC_LISTVIEWW,
         static_cast<DWORD>(LVS_REPORT | LVS_SHOWSELALWAYS | LVS_SINGLESEL |
                            (grouped_ ? 0 : LVS_OWNERDATA))},
        {tpl::kFailures, WC_LISTBOXW, WS_VSCROLL | WS_HSCROLL | LBS_NOINTEGRALHEIGHT},
    };
    const std::vector<std::uint32_t> built =
        BuildDialogTemplate(tpl::kTemplate, DialogFrame::kModal, provided);
    DialogBoxIndirectParamW(GetModuleHandleW(nullptr), AsDialogTemplate(built), owner, Procedure,
                            reinterpret_cast<LPARAM>(this));
  }

 private:
  static INT_PTR CALLBACK Procedure(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITDIALOG) SetWindowLongPtrW(dialog, DWLP_USER, lParam);
    auto* self = reinterpret_cast<PreviewWindow*>(GetWindowLongPtrW(dialog, DWLP_USER));
    if (!self) return FALSE;
    // Nothing thrown may cross the system's frames on its way up.
    try {
      return self->Handle(dialog, message, wParam, lParam);
    } catch (const std::exception& failure) {
      self->ui_.ShowMessage(dialog, {std::string("The preview stopped: ") + failure.what(),
                                     kMessageCaption, MessageIcon::kStop});
      return TRUE;
    }
  }

  INT_PTR Handle(HWND dialog, UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
      case WM_INITDIALOG:
        OnInitDialog(dialog);
        return FALSE;  // the list has the focus
      case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam));
        return TRUE;
      case WM_NOTIFY: {
        const auto* header = reinterpret_cast<const NMHDR*>(lParam);
        if (header->idFrom != static_cast<UINT_PTR>(tpl::kFiles)) return FALSE;
        SetWindowLongPtrW(dialog, DWLP_MSGRESULT, OnListNotify(lParam));
        return TRUE;
      }
      case WM_SIZE:
        if (!list_) return FALSE;
        layout_.Apply(dialog);
        FitFileColumn();
        return TRUE;
      case WM_GETMINMAXINFO:
        if (!list_) return FALSE;
        layout_.LimitSize(dialog, *reinterpret_cast<MINMAXINFO*>(lParam));
        return TRUE;
      case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wParam) != list_) return FALSE;
        ShowRowMenu(GET_X_LPARAM(lParam), GET_Y_LPARAM(lParam));
        return TRUE;
    }
    return FALSE;
  }

  HWND Item(int id) const { return GetDlgItem(dialog_, id); }

  void SetText(int id, const std::string& text) {
    SetWindowTextW(Item(id), WideFromNarrow(text).c_str());
  }

  void OnInitDialog(HWND dialog) {
    dialog_ = dialog;
    list_ = Item(tpl::kFiles);
    MakeResizable();
    SetText(tpl::kIntro, kPreviewIntroText);
    ShowWindow(Item(tpl::kFilterNote), SW_HIDE);
    ShowWindow(Item(tpl::kFailures), SW_HIDE);
    SendMessageW(list_, LVM_SETEXTENDEDLISTVIEWSTYLE, 0,
                 LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER | LVS_EX_INFOTIP);
    AddColumns();
    if (grouped_) SendMessageW(list_, LVM_ENABLEGROUPVIEW, TRUE, 0);
    if (!grouped_) {
      LOGFONTW font{};
      if (GetObjectW(reinterpret_cast<HFONT>(SendMessageW(list_, WM_GETFONT, 0, 0)), sizeof(font),
                     &font)) {
        font.lfWeight = FW_BOLD;
        boldFont_ = CreateFontIndirectW(&font);
      }
    }
    Populate();
    const PlanTotals& totals = listing_.Totals();
    SetText(tpl::kSummary, PreviewTotalsText(totals));
    EnableWindow(Item(tpl::kClean), totals.toDelete > 0);
    SetFocus(list_);
  }

  // A list of many long paths wants room: the window can be resized and
  // maximised, the list growing with it, the texts below it and the
  // buttons keeping to the bottom.
  void MakeResizable() {
    SetWindowLongPtrW(dialog_, GWL_STYLE,
                      GetWindowLongPtrW(dialog_, GWL_STYLE) | WS_THICKFRAME | WS_MAXIMIZEBOX);
    SetWindowPos(dialog_, nullptr, 0, 0, 0, 0,
                 SWP_NOMOVE | SWP_NOSIZE | SWP_NOZORDER | SWP_FRAMECHANGED);
    // The thicker frame takes its room outside what the template laid out.
    MINMAXINFO least{};
    layout_.LimitSize(dialog_, least);
    SetWindowPos(dialog_, nullptr, 0, 0, least.ptMinTrackSize.x, least.ptMinTrackSize.y,
                 SWP_NOMOVE | SWP_NOZORDER);
  }

  // The columns take their widths from the font, never from the rows:
  // measuring every row of a large plan would take seconds.
  void AddColumns() {
    const auto width = [this](const wchar_t* text) {
      return static_cast<int>(
                 SendMessageW(list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(text))) +
             GetSystemMetrics(SM_CXEDGE) * 2 + 16;
    };
    const int sizeWidth = std::max(width(L"999 bytes"), width(L"999.9 MB"));
    const int keptWidth = width(L"Left alone because");
    const struct {
      const wchar_t* title;
      int width;
      int format;
    } columns[] = {{L"File", 100, LVCFMT_LEFT},
                   {L"Size", sizeWidth, LVCFMT_RIGHT},
                   {L"Left alone because", keptWidth, LVCFMT_LEFT}};
    for (int at = 0; at < PlanListing::kColumnCount; ++at) {
      LVCOLUMNW column{};
      column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_FMT | LVCF_SUBITEM;
      column.fmt = columns[at].format;
      column.cx = columns[at].width;
      column.pszText = const_cast<wchar_t*>(columns[at].title);
      column.iSubItem = at;
      SendMessageW(list_, LVM_INSERTCOLUMNW, at, reinterpret_cast<LPARAM>(&column));
    }
    FitFileColumn();
  }

  // The File column takes the list's width that the others leave.
  void FitFileColumn() {
    RECT client{};
    GetClientRect(list_, &client);
    int others = 0;
    for (int column = 1; column < PlanListing::kColumnCount; ++column)
      others += static_cast<int>(SendMessageW(list_, LVM_GETCOLUMNWIDTH, column, 0));
    const int width = static_cast<int>(client.right) - others - GetSystemMetrics(SM_CXVSCROLL);
    SendMessageW(list_, LVM_SETCOLUMNWIDTH, PlanListing::kFileColumn, std::max(100, width));
  }

  // Lists the groups and the rows the listing shows now, keeping the
  // selected row selected. The rows' texts come when they are drawn. Where
  // the list can't group (comctl32 before version 6, Wine), each group's
  // heading is a row of its own above its files, and the list holds no
  // items, only their number: it then opens a plan of any size at once.
  void Populate() {
    const std::optional<Row> selected = SelectedRow();
    rows_.clear();
    rows_.reserve(listing_.ShownCount() + (grouped_ ? 0 : listing_.GroupCount()));
    for (std::size_t group = 0; group < listing_.GroupCount(); ++group) {
      if (!grouped_) rows_.push_back({group, kHeading});
      for (const std::size_t file : listing_.Rows(group))
        rows_.push_back({group, static_cast<std::ptrdiff_t>(file)});
    }
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    if (grouped_) {
      InsertGroupsAndItems();
    } else {
      LVITEMW none{};
      none.stateMask = LVIS_SELECTED | LVIS_FOCUSED;
      SendMessageW(list_, LVM_SETITEMSTATE, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&none));
      SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), 0);
    }
    if (selected) {
      const auto found = std::find(rows_.begin(), rows_.end(), *selected);
      if (found != rows_.end()) {
        LVITEMW state{};
        state.stateMask = state.state = LVIS_SELECTED | LVIS_FOCUSED;
        SendMessageW(list_, LVM_SETITEMSTATE, found - rows_.begin(),
                     reinterpret_cast<LPARAM>(&state));
      }
    }
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
  }

  void InsertGroupsAndItems() {
    SendMessageW(list_, LVM_DELETEALLITEMS, 0, 0);
    SendMessageW(list_, LVM_REMOVEALLGROUPS, 0, 0);
    SendMessageW(list_, LVM_SETITEMCOUNT, rows_.size(), 0);
    for (std::size_t group = 0; group < listing_.GroupCount(); ++group) {
      std::wstring heading = WideFromNarrow(listing_.GroupHeading(group));
      LVGROUP info{};
      info.cbSize = sizeof(info);
      info.mask = LVGF_HEADER | LVGF_GROUPID;
      info.pszHeader = heading.data();
      info.iGroupId = static_cast<int>(group);
      SendMessageW(list_, LVM_INSERTGROUP, static_cast<WPARAM>(-1),
                   reinterpret_cast<LPARAM>(&info));
    }
    for (std::size_t at = 0; at < rows_.size(); ++at) {
      LVITEMW item{};
      item.mask = LVIF_TEXT | LVIF_GROUPID;
      item.iItem = static_cast<int>(at);
      item.pszText = LPSTR_TEXTCALLBACKW;
      item.iGroupId = static_cast<int>(rows_[at].group);
      SendMessageW(list_, LVM_INSERTITEMW, 0, reinterpret_cast<LPARAM>(&item));
    }
  }

  void RefreshHeadings() {
    if (!grouped_) {
      InvalidateRect(list_, nullptr, TRUE);
      return;
    }
    for (std::size_t group = 0; group < listing_.GroupCount(); ++group) {
      std::wstring heading = WideFromNarrow(listing_.GroupHeading(group));
      LVGROUP info{};
      info.cbSize = sizeof(info);
      info.mask = LVGF_HEADER;
      info.pszHeader = heading.data();
      SendMessageW(list_, LVM_SETGROUPINFO, group, reinterpret_cast<LPARAM>(&info));
    }
  }

  std::optional<Row> SelectedRow() const {
    const auto row = static_cast<int>(
        SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
    if (row < 0 || static_cast<std::size_t>(row) >= rows_.size()) return std::nullopt;
    return rows_[static_cast<std::size_t>(row)];
  }

  // The whole path of the selected file, or the folder of the selected
  // heading's group.
  std::string SelectedPath() const {
    const std::optional<Row> row = SelectedRow();
    if (!row) return {};
    if (row->file == kHeading) return listing_.GroupFolder(row->group);
    return plan_.PathAt(static_cast<std::size_t>(row->file));
  }

  std::string SelectedFolder() const {
    const std::optional<Row> row = SelectedRow();
    if (!row) return {};
    if (row->file == kHeading) return listing_.GroupFolder(row->group);
    return listing_.ContainingFolder(static_cast<std::size_t>(row->file));
  }

  LRESULT OnListNotify(LPARAM lParam) {
    const auto* header = reinterpret_cast<const NMHDR*>(lParam);
    switch (header->code) {
      case LVN_GETDISPINFOW: {
        auto* shown = reinterpret_cast<NMLVDISPINFOW*>(lParam);
        const auto row = static_cast<std::size_t>(shown->item.iItem);
        if ((shown->item.mask & LVIF_TEXT) && row < rows_.size() && shown->item.cchTextMax > 0)
          lstrcpynW(shown->item.pszText, CellText(rows_[row], shown->item.iSubItem).c_str(),
                    shown->item.cchTextMax);
        return 0;
      }
      case LVN_GETINFOTIPW: {
        // The tip gives the whole path.
        auto* tip = reinterpret_cast<NMLVGETINFOTIPW*>(lParam);
        const auto row = static_cast<std::size_t>(tip->iItem);
        if (row >= rows_.size() || tip->cchTextMax <= 0) return 0;
        const Row& shown = rows_[row];
        const std::wstring text =
            shown.file == kHeading
                ? WideFromNarrow(listing_.GroupHeading(shown.group))
                : NativePath(PathLineText(plan_.PathAt(static_cast<std::size_t>(shown.file))));
        lstrcpynW(tip->pszText, text.c_str(), tip->cchTextMax);
        return 0;
      }
      case LVN_COLUMNCLICK:
        SortBy(reinterpret_cast<const NMLISTVIEW*>(lParam)->iSubItem);
        return 0;
      case NM_CUSTOMDRAW:
        return OnCustomDraw(reinterpret_cast<NMLVCUSTOMDRAW*>(lParam));
    }
    return 0;
  }

  std::wstring CellText(const Row& row, int column) const {
    if (row.file == kHeading)
      return column == PlanListing::kFileColumn ? WideFromNarrow(listing_.GroupHeading(row.group))
                                                : std::wstring();
    const auto file = static_cast<std::size_t>(row.file);
    switch (column) {
      case PlanListing::kFileColumn:
        return NativePath(listing_.FileText(file));
      case PlanListing::kSizeColumn:
        return WideFromNarrow(listing_.SizeText(file));
      case PlanListing::kKeptColumn:
        return WideFromNarrow(listing_.KeptText(file));
    }
    return {};
  }

  // The files the options would keep are drawn grey, the headings' rows
  // bold.
  LRESULT OnCustomDraw(NMLVCUSTOMDRAW* draw) {
    if (draw->nmcd.dwDrawStage == CDDS_PREPAINT) return CDRF_NOTIFYITEMDRAW;
    if (draw->nmcd.dwDrawStage != CDDS_ITEMPREPAINT) return CDRF_DODEFAULT;
    const std::size_t at = draw->nmcd.dwItemSpec;
    if (draw->dwItemType != LVCDI_ITEM || at >= rows_.size()) return CDRF_DODEFAULT;
    const Row& row = rows_[at];
    if (row.file == kHeading && boldFont_) {
      SelectObject(draw->nmcd.hdc, boldFont_);
      return CDRF_NEWFONT;
    }
    if (row.file != kHeading && listing_.IsKept(static_cast<std::size_t>(row.file))) {
      draw->clrText = GetSysColor(COLOR_GRAYTEXT);
      return CDRF_NEWFONT;
    }
    return CDRF_DODEFAULT;
  }

  // A first click on a column sorts it up, a second one down; the header
  // shows which.
  void SortBy(int column) {
    ascending_ = column == sortColumn_ ? !ascending_ : true;
    sortColumn_ = column;
    listing_.Sort(column, ascending_);
    HWND header = reinterpret_cast<HWND>(SendMessageW(list_, LVM_GETHEADER, 0, 0));
    for (int at = 0; at < PlanListing::kColumnCount; ++at) {
      HDITEMW item{};
      item.mask = HDI_FORMAT;
      SendMessageW(header, HDM_GETITEMW, at, reinterpret_cast<LPARAM>(&item));
      item.fmt &= ~(HDF_SORTUP | HDF_SORTDOWN);
      if (at == column) item.fmt |= ascending_ ? HDF_SORTUP : HDF_SORTDOWN;
      SendMessageW(header, HDM_SETITEMW, at, reinterpret_cast<LPARAM>(&item));
    }
    Populate();
  }

  void OnCommand(int id, int code) {
    switch (id) {
      case tpl::kFilter:
        if (code == EN_CHANGE) OnFilterChanged();
        return;
      case tpl::kClean:
        if (code == BN_CLICKED) OnClean();
        return;
      case IDOK:
      case tpl::kClose:
        EndDialog(dialog_, id);
        return;
      case kOpenContainingFolderCommand:
        OpenContainingFolder();
        return;
      case kCopyPathCommand:
        CopyPath();
        return;
    }
  }

  void OnFilterChanged() {
    const int length = GetWindowTextLengthW(Item(tpl::kFilter));
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    text.resize(
        static_cast<std::size_t>(GetWindowTextW(Item(tpl::kFilter), text.data(), length + 1)));
    const std::string filter = Trimmed(NarrowFromWide(text));
    if (filter == listing_.Filter()) return;
    listing_.SetFilter(filter);
    Populate();
    ShowFilterNote();
  }

  void ShowFilterNote() {
    HWND note = Item(tpl::kFilterNote);
    if (listing_.Filter().empty()) {
      ShowWindow(note, SW_HIDE);
      return;
    }
    SetText(tpl::kFilterNote,
            FilterNoteText(listing_.ShownCount(), plan_.Count(), listing_.HasOutcome()));
    ShowWindow(note, SW_SHOW);
  }

  void ShowRowMenu(int x, int y) {
    const bool selected = SelectedRow().has_value();
    if (x == -1 && y == -1) {
      // From the keyboard: below the selected row, or the list's corner.
      RECT place{LVIR_BOUNDS, 0, 0, 0};
      POINT at{0, 0};
      const auto row = static_cast<int>(
          SendMessageW(list_, LVM_GETNEXTITEM, static_cast<WPARAM>(-1), LVNI_SELECTED));
      if (row >= 0 && SendMessageW(list_, LVM_GETITEMRECT, row, reinterpret_cast<LPARAM>(&place)))
        at = {place.left, place.bottom};
      ClientToScreen(list_, &at);
      x = at.x;
      y = at.y;
    }
    HMENU menu = CreatePopupMenu();
    const UINT enabled = selected ? MF_ENABLED : MF_GRAYED;
    AppendMenuW(menu, MF_STRING | enabled, kOpenContainingFolderCommand,
                L"Open Containing &Folder");
    AppendMenuW(menu, MF_STRING | enabled, kCopyPathCommand, L"&Copy Path");
    const int chosen =
        TrackPopupMenu(menu, TPM_RETURNCMD | TPM_RIGHTBUTTON, x, y, 0, dialog_, nullptr);
    DestroyMenu(menu);
    if (chosen) OnCommand(chosen, 0);
  }

  void OpenContainingFolder() {
    const std::string folder = NarrowFromWide(NativePath(SelectedFolder()));
    if (!folder.empty() && !launcher_.Open(folder))
      ui_.ShowMessage(dialog_, {"Cannot open the folder " + folder + ".", kMessageCaption,
                                MessageIcon::kExclamation});
  }

  void CopyPath() {
    const std::wstring path = NativePath(SelectedPath());
    if (path.empty() || !OpenClipboard(dialog_)) return;
    EmptyClipboard();
    const std::size_t bytes = (path.size() + 1) * sizeof(wchar_t);
    if (HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes)) {
      CopyMemory(GlobalLock(memory), path.c_str(), bytes);
      GlobalUnlock(memory);
      if (!SetClipboardData(CF_UNICODETEXT, memory)) GlobalFree(memory);
    }
    CloseClipboard();
  }

  void OnClean() {
    if (listing_.HasOutcome()) return;
    EnableWindow(Item(tpl::kClean), FALSE);
    // Enter now closes.
    SendMessageW(dialog_, DM_SETDEFID, tpl::kClose, 0);
    SetFocus(Item(tpl::kClose));
    CleanReport report;
    {
      ScopedWaitCursor cursor(waitCursor_);
      ULONGLONG drawn = GetTickCount64();
      report = ExecuteCleanPlan(plan_, settings_, files_, [&](std::size_t done, std::size_t total) {
        // Drawn on the spot, as the main window's status line is: the
        // deletion runs inside this window's message.
        if (GetTickCount64() - drawn < 100) return;
        drawn = GetTickCount64();
        SetText(tpl::kSummary, DeletingProgressText(done, total));
        UpdateWindow(Item(tpl::kSummary));
      });
    }
    ShowReport(report);
  }

  void ShowReport(const CleanReport& report) {
    SetText(tpl::kIntro, kPreviewCleanedIntroText);
    listing_.SetOutcome(report);
    RefreshHeadings();
    ShowFilterNote();
    std::string lines;
    for (const std::string& line : CleanReportLines(report))
      lines += (lines.empty() ? "" : "\r\n") + line;
    SetText(tpl::kSummary, lines);
    if (report.failures.empty()) return;
    HWND failures = Item(tpl::kFailures);
    for (const CleanReport::Failure& failure : report.failures)
      SendMessageW(failures, LB_ADDSTRING, 0,
                   reinterpret_cast<LPARAM>(WideFromNarrow(FailureLineText(failure)).c_str()));
    ShowWindow(failures, SW_SHOW);
  }

  CleanPlan plan_;
  CleanSettings settings_;
  FileSystem& files_;
  ProgramLauncher& launcher_;
  WaitCursor& waitCursor_;
  Win32UiServices& ui_;
  PlanListing listing_;

  HWND dialog_ = nullptr;
  HWND list_ = nullptr;
  AnchoredLayout layout_{tpl::kTemplate, kAnchors};
  bool grouped_ = false;      // the list shows groups of its own
  HFONT boldFont_ = nullptr;  // the headings' rows, where it doesn't
  std::vector<Row> rows_;     // what each row of the list shows
  int sortColumn_ = -1;
  bool ascending_ = true;
};

}  // namespace

void RunPreviewWindow(HWND owner, CleanPlan plan, const CleanSettings& settings, FileSystem& files,
                      ProgramLauncher& launcher, WaitCursor& waitCursor, Win32UiServices& ui) {
  PreviewWindow window(std::move(plan), settings, files, launcher, waitCursor, ui);
  window.Run(owner);
}
