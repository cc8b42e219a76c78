#pragma once

#include "winui/windows_api.h"

#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "platform/platform_services.h"
#include "resources/main_menu.h"
#include "session/cleaner_session.h"
#include "settings/entry_commands.h"
#include "winui/list_view_control.h"
#include "winui/secondary_windows.h"
#include "winui/win32_ui_services.h"
#include "winui/win32_window_controls.h"

// What the main window works with; everything outlives the window.
struct MainWindowContext {
  Win32UiServices& ui;
  SecondaryWindows& windows;
  PlatformServices platform;
  SessionSources sources;  // the settings, other programs' folders, the environment
  // False when the user asked on the command line to open the window
  // without the start-up clean.
  bool autoCleanAllowed = true;
};

// The main window on Windows: the template's dialog as the program's own
// top-level window (with a taskbar button), its menu, the six category
// boxes, the custom entries in a list view, Clean and Exit. Every way of
// leaving goes through OnCancel, which saves the settings once.
//
//   CCleanerDlg window(context);
//   window.DoModal();  // returns once the window has ended
class CCleanerDlg : private EntryEditor {
 public:
  explicit CCleanerDlg(MainWindowContext context);
  ~CCleanerDlg() override;
  CCleanerDlg(const CCleanerDlg&) = delete;
  CCleanerDlg& operator=(const CCleanerDlg&) = delete;

  // Makes the window from its template, hidden, with its menu and its
  // controls. False when the system refused.
  bool Create();
  // Creates the window, starts it (OnInitDialog), shows it and runs its
  // messages until it has ended. When start-up already ended it (auto-clean
  // with quit after cleaning), the window is never shown.
  int DoModal();

  // Start-up: drop target, entry buttons off, locations and settings, and
  // the clean run when auto-clean is on.
  void OnInitDialog();
  // One clean run; the window stays open unless the options say to quit.
  void OnOK();
  // Saves the settings and ends the window, once.
  void OnCancel();

  void OnCommand(MenuCommand command);
  void OnOptions();
  // Gathers what a clean would delete now and shows it.
  void OnPreview();
  void OnAbout();
  void OnHelpContents();
  void OnClickList();
  // The Entry menu at `screenPosition`; the chosen item acts as its menu
  // command.
  void OnRclickList(POINT screenPosition);
  void OnDropFiles(HDROP drop);

  // What the message loop does with one message before it is dispatched:
  // the window's keys (Enter in the list opens the row, F1, Ctrl+Q) and the
  // dialog's keyboard handling (Tab, Enter cleans, Esc leaves). True when
  // the message was used up.
  bool TranslateWindowMessage(MSG& message);

  HWND Window() const { return window_; }
  HWND Control(int id) const { return GetDlgItem(window_, id); }
  HWND BoxTips() const { return tips_; }
  bool HasEnded() const { return session_ && session_->HasEnded(); }
  CleanerSession& Session() { return *session_; }

 private:
  static INT_PTR CALLBACK DialogProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
  INT_PTR OnMessage(UINT message, WPARAM wParam, LPARAM lParam);
  void OnButtonOrMenu(int id);
  void OnListNotification(const NMHDR& header);
  bool Run(CleanEntry& entry, EntryEditMode mode) override;
  // Grows the window so that its client area holds the whole template
  // below the menu bar.
  void MakeRoomForMenu();
  void FocusFirstTabStop();
  // Each category box's tip: what it cleans here, or why it is off.
  void AddBoxTips();
  // Centred in the work area of the monitor it opens on.
  void PlaceOnItsMonitor();
  POINT MenuPositionAtSelection() const;

  MainWindowContext context_;
  HWND window_ = nullptr;
  HACCEL accelerators_ = nullptr;
  HWND tips_ = nullptr;
  std::vector<std::uint32_t> template_;

  Win32OwnedMessageBox messages_;
  Win32WaitCursor waitCursor_;
  std::unique_ptr<Win32CheckBoxes> boxes_;
  std::unique_ptr<Win32StatusLine> status_;
  std::unique_ptr<ListViewControl> list_;
  std::unique_ptr<CleanerSession> session_;  // made once the controls stand
  std::unique_ptr<EntryCommands> commands_;
  // The text an in-place edit ended with, taken once the editor is gone.
  std::optional<std::pair<int, std::string>> editedLabel_;
};
