#include "app/cleaner_app.h"

#include <QApplication>
#include <QIcon>

#include "app/application_paths.h"
#include "app/help_key_filter.h"
#include "app/startup_sources.h"
#include "platform/platform_services.h"
#include "ui/focus_frame_style.h"
#include "ui/help_sections.h"
#include "ui/main_window.h"

CCleanerApp::CCleanerApp(const std::filesystem::path& executable)
    : applicationName_(ApplicationNameOf(executable)),
      help_(FindHelpFile(executable).string(), applicationName_, ui_) {}

CCleanerApp::~CCleanerApp() = default;

int CCleanerApp::InitInstance(StartupSources& sources, bool autoCleanAllowed) {
  QApplication::setWindowIcon(QIcon(QStringLiteral(":/icons/dustral.png")));
  QApplication::setStyle(new FocusFrameStyle);
  HelpKeyFilter helpKey([this](QWidget* window) { OnHelpKey(window); });
  qApp->installEventFilter(&helpKey);

  CCleanerDlg mainWindow(MainWindowContext{ui_, SystemPlatformServices(), sources.ForSession(),
                                           help_, autoCleanAllowed});
  mainWindow_ = &mainWindow;
  mainWindow.DoModal();
  mainWindow_ = nullptr;
  return 0;
}

void CCleanerApp::OnHelp() { OnHelpKey(nullptr); }

void CCleanerApp::OnHelpKey(QWidget* window) {
  // An open menu is closed first, so that the help window comes up in front.
  if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
  QWidget* owner = QApplication::activeModalWidget();
  if (!owner) owner = mainWindow_;
  // F1 in the help window itself leaves it where it is.
  if (window && window == help_.Window()) return;
  help_.ShowSection(owner, HelpSectionOf(window));
}
