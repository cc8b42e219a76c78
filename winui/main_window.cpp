#include "winui/main_window.h"

#include <commctrl.h>
#include <shellapi.h>

#include <algorithm>
#include <utility>

#include "platform/win32/wide_text.h"
#include "resources/main_window_template.h"
#include "session/menu_command.h"
#include "settings/categories.h"
#include "winui/dialog_from_template.h"
#include "winui/fit_to_text.h"
#include "winui/help_sections.h"
#include "winui/main_menu_bar.h"

namespace {

namespace ids = main_window_template;

// Posted to the window once an in-place edit has ended: a question about
// the new path may only be asked once the control's editor is gone.
constexpr UINT kLabelEdited = WM_APP + 1;

constexpr ProvidedControl kEntryListView[] = {
    {ids::kEntryList, WC_LISTVIEWW,
     LVS_REPORT | LVS_SINGLESEL | LVS_EDITLABELS | LVS_SHOWSELALWAYS}};

constexpr int kEntryButtons[] = {ids::kEditButton, ids::kDeleteButton, ids::kCopyButton};

bool IsMenuCommand(int id) {
  for (const MenuPopup& popup : main_menu::kPopups)
    for (const MenuItem& item : popup.items)
      if (static_cast<int>(item.command) == id) return true;
  return false;
}

bool ModifierHeld() {
  return (GetKeyState(VK_SHIFT) & 0x8000) || (GetKeyState(VK_CONTROL) & 0x8000) ||
         (GetKeyState(VK_MENU) & 0x8000);
}

}  // namespace

CCleanerDlg::CCleanerDlg(MainWindowContext context)
    : context_(std::move(context)), messages_(context_.ui, nullptr) {}

CCleanerDlg::~CCleanerDlg() {
  if (window_) DestroyWindow(window_);  // and with it the tips, which it owns
  if (accelerators_) DestroyAcceleratorTable(accelerators_);
}

bool CCleanerDlg::Create() {
  INITCOMMONCONTROLSEX classes{sizeof(classes), ICC_LISTVIEW_CLASSES | ICC_STANDARD_CLASSES};
  InitCommonControlsEx(&classes);
  template_ = BuildDialogTemplate(ids::kTemplate, DialogFrame::kMainWindow, kEntryListView);
  HINSTANCE instance = GetModuleHandleW(nullptr);
  window_ = CreateDialogIndirectParamW(instance, AsDialogTemplate(template_), nullptr,
                                       DialogProcedure, reinterpret_cast<LPARAM>(this));
  if (!window_) return false;
  FitControlsToText(window_);
  SetMenu(window_, BuildMainMenuBar());
  MakeRoomForMenu();
  accelerators_ = BuildMainAccelerators();
  if (HICON icon = LoadIconW(instance, MAKEINTRESOURCEW(kProgramIconResource))) {
    SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(icon));
    SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(icon));
  }

  HWND list = Control(ids::kEntryList);
  // A path cut short by its column shows whole under the mouse.
  const DWORD listStyle = LVS_EX_FULLROWSELECT | LVS_EX_LABELTIP;
  SendMessageW(list, LVM_SETEXTENDEDLISTVIEWSTYLE, listStyle, listStyle);
  messages_.SetOwner(window_);
  boxes_ = std::make_unique<Win32CheckBoxes>(window_);
  status_ = std::make_unique<Win32StatusLine>(Control(ids::kStatusLine));
  list_ = std::make_unique<ListViewControl>(list);
  session_ = std::make_unique<CleanerSession>(
      SessionControls{*boxes_, *status_, waitCursor_, *list_, messages_}, context_.sources,
      context_.platform, [this] {
        // The loop sees the end once the current message is handled; the
        // window goes out of sight at once, as an ended dialog does.
        ShowWindow(window_, SW_HIDE);
        PostMessageW(window_, WM_NULL, 0, 0);
      });
  EntryEditor& editor = *this;  // a private base: converted here, inside the class
  commands_ = std::make_unique<EntryCommands>(session_->Entries(), messages_, editor,
                                              context_.sources.applicationName);
  return true;
}

void CCleanerDlg::MakeRoomForMenu() {
  RECT wanted{0, 0, ids::kTemplate.width, ids::kTemplate.height};
  MapDialogRect(window_, &wanted);
  RECT client{};
  GetClientRect(window_, &client);
  RECT frame{};
  GetWindowRect(window_, &frame);
  const int width = (frame.right - frame.left) + (wanted.right - client.right);
  const int height = (frame.bottom - frame.top) + (wanted.bottom - client.bottom);
  SetWindowPos(window_, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

int CCleanerDlg::DoModal() {
  if (!window_ && !Create()) return 1;
  OnInitDialog();
  if (session_->HasEnded()) return 0;
  PlaceOnItsMonitor();
  ShowWindow(window_, SW_SHOWNORMAL);
  FocusFirstTabStop();
  MSG message{};
  while (!session_->HasEnded()) {
    const BOOL got = GetMessageW(&message, nullptr, 0, 0);
    if (got <= 0) {
      // Someone asked the whole program to quit: leave as Exit does, saving.
      OnCancel();
      break;
    }
    if (TranslateWindowMessage(message)) continue;
    TranslateMessage(&message);
    DispatchMessageW(&message);
  }
  DestroyWindow(window_);  // and with it the tips, which it owns
  window_ = nullptr;
  tips_ = nullptr;
  return 0;
}

void CCleanerDlg::PlaceOnItsMonitor() {
  MONITORINFO monitor{};
  monitor.cbSize = sizeof monitor;
  if (!GetMonitorInfoW(MonitorFromWindow(window_, MONITOR_DEFAULTTOPRIMARY), &monitor)) return;
  const RECT& work = monitor.rcWork;
  RECT frame{};
  GetWindowRect(window_, &frame);
  const int width = frame.right - frame.left;
  const int height = frame.bottom - frame.top;
  // Centred, and never with its title bar above or left of the work area.
  const int x = work.left + std::max(0L, ((work.right - work.left) - width) / 2L);
  const int y = work.top + std::max(0L, ((work.bottom - work.top) - height) / 2L);
  SetWindowPos(window_, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void CCleanerDlg::OnInitDialog() {
  DragAcceptFiles(window_, TRUE);
  for (int id : kEntryButtons) EnableWindow(Control(id), FALSE);
  session_->Start();
  AddBoxTips();
  FocusFirstTabStop();
  if (session_->Settings().m_bAutoClean && context_.autoCleanAllowed) OnOK();
}

void CCleanerDlg::AddBoxTips() {
  tips_ = CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_ALWAYSTIP,
                          CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_,
                          nullptr, GetModuleHandleW(nullptr), nullptr);
  if (!tips_) return;
  SendMessageW(tips_, TTM_SETMAXTIPWIDTH, 0, 400);  // long tips wrap
  for (const Category& category : kCategories) {
    HWND box = Control(static_cast<int>(category.box));
    std::wstring text = WideFromNarrow(session_->BoxTip(category.box));
    TTTOOLINFOW tool{};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.lpszText = text.data();
    if (IsWindowEnabled(box)) {
      tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
      tool.uId = reinterpret_cast<UINT_PTR>(box);
    } else {
      // A switched-off box takes no mouse input; the window under it does,
      // so the tip that says why it is off belongs to the box's place there.
      tool.uFlags = TTF_SUBCLASS;
      tool.uId = static_cast<UINT_PTR>(category.box);
      GetWindowRect(box, &tool.rect);
      MapWindowPoints(nullptr, window_, reinterpret_cast<POINT*>(&tool.rect), 2);
    }
    SendMessageW(tips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
  }
}

void CCleanerDlg::FocusFirstTabStop() {
  if (HWND first = GetNextDlgTabItem(window_, nullptr, FALSE))
    SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
}

void CCleanerDlg::OnOK() { session_->Clean(); }

void CCleanerDlg::OnCancel() { session_->Exit(); }

bool CCleanerDlg::TranslateWindowMessage(MSG& message) {
  if (!window_ || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) return false;
  if (TranslateAcceleratorW(window_, accelerators_, &message)) return true;
  if (message.message == WM_KEYDOWN && message.wParam == VK_F1) {
    // F1 alone opens the help; with Shift, Ctrl or Alt it does nothing.
    if (!ModifierHeld()) OnHelpContents();
    return true;
  }
  // Enter in the list opens the selected row, as a double-click does; it
  // never falls through to the window, where it would clean. (An in-place
  // edit is a window of its own and keeps its Enter.)
  if (message.message == WM_KEYDOWN && message.wParam == VK_RETURN &&
      message.hwnd == list_->Window() && !ModifierHeld()) {
    if (list_->SelectedRow() >= 0) commands_->OnEditEntry();
    return true;
  }
  return IsDialogMessageW(window_, &message) != FALSE;
}

INT_PTR CALLBACK CCleanerDlg::DialogProcedure(HWND window, UINT message, WPARAM wParam,
                                              LPARAM lParam) {
  if (message == WM_INITDIALOG) {
    SetWindowLongPtrW(window, DWLP_USER, lParam);
    reinterpret_cast<CCleanerDlg*>(lParam)->window_ = window;
    return FALSE;  // the focus is placed once the window has started
  }
  auto* self = reinterpret_cast<CCleanerDlg*>(GetWindowLongPtrW(window, DWLP_USER));
  if (!self || !self->session_) return FALSE;
  return self->OnMessage(message, wParam, lParam);
}

INT_PTR CCleanerDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
  switch (message) {
    case WM_COMMAND:
      // Clicks, menu items and accelerators; not the controls' other news.
      if (HIWORD(wParam) > 1) return FALSE;
      OnButtonOrMenu(LOWORD(wParam));
      return TRUE;
    case WM_NOTIFY: {
      const auto& header = *reinterpret_cast<const NMHDR*>(lParam);
      if (header.hwndFrom != list_->Window()) return FALSE;
      OnListNotification(header);
      // Every answer is 0: a label edit's text is set by the entry
      // commands, not by the control.
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
      return TRUE;
    }
    case WM_CONTEXTMENU:
      // The Menu key or Shift+F10 in the list (a right click is taken as
      // NM_RCLICK, which comes first).
      if (reinterpret_cast<HWND>(wParam) == list_->Window() && lParam == -1) {
        OnRclickList(MenuPositionAtSelection());
        return TRUE;
      }
      return FALSE;
    case kLabelEdited:
      if (editedLabel_) {
        auto [row, text] = std::move(*editedLabel_);
        editedLabel_.reset();
        commands_->OnEndLabelEdit(row, text);
      }
      return TRUE;
    case WM_CLOSE:  // the close box and the system menu's Close
      OnCancel();
      return TRUE;
    case WM_DROPFILES:
      OnDropFiles(reinterpret_cast<HDROP>(wParam));
      return TRUE;
    case WM_HELP: {
      // F1 in a dialog over the window, which leaves help to its owner and
      // says which section it is about; or F1 while a menu is open.
      const auto& info = *reinterpret_cast<const HELPINFO*>(lParam);
      const std::string section = info.iContextType == HELPINFO_WINDOW
                                      ? HelpSectionOf(static_cast<HWND>(info.hItemHandle))
                                      : std::string();
      if (section.empty() || section == "contents")
        OnHelpContents();
      else
        context_.windows.ShowHelpSection(window_, section);
      return TRUE;
    }
    case WM_SETCURSOR:
      if (!waitCursor_.IsShown()) return FALSE;
      SetCursor(LoadCursorW(nullptr, IDC_WAIT));
      SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
      return TRUE;
    case WM_ENDSESSION:
      // Windows is shutting down or the user is signing out: the settings
      // are saved as at Exit.
      if (wParam) OnCancel();
      return TRUE;
    default:
      return FALSE;
  }
}

void CCleanerDlg::OnButtonOrMenu(int id) {
  switch (id) {
    case ids::kCleanButton:
      OnOK();
      return;
    case ids::kExitButton:
      OnCancel();
      return;
    case ids::kAddButton:
      commands_->OnAddEntry();
      return;
    case ids::kCopyButton:
      commands_->OnCopyEntry();
      return;
    case ids::kEditButton:
      commands_->OnEditEntry();
      return;
    case ids::kDeleteButton:
      commands_->OnDeleteEntry();
      return;
    default:
      if (IsMenuCommand(id)) OnCommand(static_cast<MenuCommand>(id));
  }
}

void CCleanerDlg::OnCommand(MenuCommand command) { RunMenuCommand(command, *this, *commands_); }

void CCleanerDlg::OnListNotification(const NMHDR& header) {
  switch (header.code) {
    case NM_CLICK:
      OnClickList();
      break;
    case NM_DBLCLK:
      commands_->OnEditEntry();
      break;
    case NM_RCLICK: {
      POINT at{};
      GetCursorPos(&at);
      OnRclickList(at);
      break;
    }
    case LVN_KEYDOWN:
      if (reinterpret_cast<const NMLVKEYDOWN&>(header).wVKey == VK_DELETE && !ModifierHeld())
        commands_->OnDeleteEntry();
      break;
    case LVN_ENDLABELEDITW: {
      const LVITEMW& item = reinterpret_cast<const NMLVDISPINFOW&>(header).item;
      // No text: the edit was cancelled and the row stays as it was.
      if (!item.pszText) break;
      editedLabel_.emplace(item.iItem, NarrowFromWide(item.pszText));
      PostMessageW(window_, kLabelEdited, 0, 0);
      break;
    }
    default:
      break;
  }
}

void CCleanerDlg::OnOptions() { context_.windows.ShowOptions(window_, session_->Settings()); }

void CCleanerDlg::OnPreview() {
  CleanPlan plan = session_->GatherPreview();
  context_.windows.ShowPreview(window_, std::move(plan), session_->Settings());
}

void CCleanerDlg::OnAbout() { context_.windows.ShowAbout(window_); }

void CCleanerDlg::OnHelpContents() { context_.windows.ShowHelpContents(window_); }

void CCleanerDlg::OnClickList() {
  for (int id : kEntryButtons) EnableWindow(Control(id), TRUE);
}

void CCleanerDlg::OnRclickList(POINT screenPosition) {
  // Built afresh each time from the menu's own table, as the menu bar is.
  HMENU popup = BuildEntryPopup();
  if (!popup) return;
  const int chosen = static_cast<int>(
      TrackPopupMenu(popup, TPM_LEFTALIGN | TPM_RIGHTBUTTON | TPM_RETURNCMD | TPM_NONOTIFY,
                     screenPosition.x, screenPosition.y, 0, window_, nullptr));
  DestroyMenu(popup);
  if (chosen != 0) OnCommand(static_cast<MenuCommand>(chosen));
}

POINT CCleanerDlg::MenuPositionAtSelection() const {
  RECT row{};
  row.left = LVIR_BOUNDS;
  POINT at{0, 0};
  const int selected = list_->SelectedRow();
  if (selected >= 0 && SendMessageW(list_->Window(), LVM_GETITEMRECT, static_cast<WPARAM>(selected),
                                    reinterpret_cast<LPARAM>(&row)))
    at = POINT{row.left, row.bottom};
  ClientToScreen(list_->Window(), &at);
  return at;
}

void CCleanerDlg::OnDropFiles(HDROP drop) {
  std::vector<std::string> names;
  const UINT count = DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0);
  for (UINT index = 0; index < count; ++index) {
    // Asked for its length first: a name is taken whole, however long.
    const UINT length = DragQueryFileW(drop, index, nullptr, 0);
    std::wstring name(static_cast<std::size_t>(length) + 1, L'\0');
    name.resize(DragQueryFileW(drop, index, name.data(), length + 1));
    names.push_back(NarrowFromWide(name));
  }
  DragFinish(drop);
  commands_->OnDropFiles(names);
}

bool CCleanerDlg::Run(CleanEntry& entry, EntryEditMode mode) {
  return context_.windows.EditEntry(window_, entry, mode);
}
