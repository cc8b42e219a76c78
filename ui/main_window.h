#pragma once

#include <QDialog>

#include <memory>
#include <string>
#include <vector>

#include "platform/platform_services.h"
#include "resources/main_menu.h"
#include "session/cleaner_session.h"
#include "settings/entry_commands.h"
#include "ui/qt_window_controls.h"
#include "ui/ui_services.h"

class EntryListView;
class HelpViewer;
class QPushButton;

// What the main window works with; everything outlives the window.
struct MainWindowContext {
  UiServices& ui;
  PlatformServices platform;
  SessionSources sources;  // the settings, other programs' folders, the environment
  HelpViewer& help;
  // False when the user asked on the command line to open the window
  // without the start-up clean.
  bool autoCleanAllowed = true;
};

// The main window: the six category boxes, the custom entries, Clean and
// Exit, and the menu. Every way of leaving goes through OnCancel, which
// saves the settings.
class CCleanerDlg : public QDialog, private EntryEditor {
  Q_OBJECT

 public:
  explicit CCleanerDlg(MainWindowContext context, QWidget* parent = nullptr);
  ~CCleanerDlg() override;

  // Initialises the window, shows it and runs until it is closed. When
  // start-up already ended the window (auto-clean with quit after
  // cleaning), it returns at once, never showing the window. The window is
  // the program's own top-level window, not a modal dialog: it has its own
  // taskbar entry and can be minimised.
  int DoModal();

  // Start-up: drop target, entry buttons off, discovery, settings, and the
  // clean run when auto-clean is on.
  void OnInitDialog();
  // One clean run; the window stays open unless the options say to quit.
  virtual void OnOK();
  // Saves the settings and ends the window, once.
  virtual void OnCancel();

  void OnCommand(MenuCommand command);
  void OnOptions();
  // Gathers what a clean would delete now and shows it; the preview's own
  // Clean deletes exactly that.
  void OnPreview();
  void OnAbout();
  void OnHelpContents();
  void OnClickList();
  void OnRclickList(QPoint screenPosition);

  bool HasEnded() const { return session_->HasEnded(); }
  const CleanSettings& Settings() const { return session_->Settings(); }
  const CleanLocations& Locations() const { return session_->Locations(); }
  CleanerSession& Session() { return *session_; }

  void reject() override;

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void dragEnterEvent(QDragEnterEvent* event) override;
  void dragMoveEvent(QDragMoveEvent* event) override;
  void dropEvent(QDropEvent* event) override;

 private:
  bool Run(CleanEntry& entry, EntryEditMode mode) override;
  void PlaceMenuBar();
  // Centred on its screen with the whole frame on it.
  void PlaceOnItsScreen();
  void FocusFirstTabStop();

  MainWindowContext context_;

  EntryListView* entryList_;                // made first: the session works on it
  std::vector<QPushButton*> entryButtons_;  // Edit, Delete, Copy
  std::vector<QWidget*> tabStops_;

  std::unique_ptr<QtCheckBoxes> boxes_;
  std::unique_ptr<QtStatusLine> status_;
  QtWaitCursor waitCursor_;
  OwnedMessageBox messages_;
  std::unique_ptr<CleanerSession> session_;  // made once the controls stand
  std::unique_ptr<EntryCommands> commands_;
};
