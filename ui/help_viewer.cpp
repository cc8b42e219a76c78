#include "ui/help_viewer.h"

#include <QFile>
#include <QTextBrowser>
#include <QTimer>
#include <QUrl>

#include <utility>

#include "ui/help_window.h"
#include "ui/narrow_text.h"
#include "ui/ui_services.h"

namespace {

constexpr char kContentsAnchor[] = "contents";

}  // namespace

HelpViewer::HelpViewer(std::string helpFile, std::string applicationName, UiServices& services)
    : helpFile_(std::move(helpFile)),
      applicationName_(std::move(applicationName)),
      services_(services) {}

HelpViewer::~HelpViewer() { delete window_; }

void HelpViewer::ShowContents(QWidget* owner) {
  ShowSection(owner, QString::fromLatin1(kContentsAnchor));
}

void HelpViewer::ShowSection(QWidget* owner, const QString& section) {
  const QString path = ToDisplayText(helpFile_);
  QFile document(path);
  if (!document.open(QIODevice::ReadOnly)) {
    services_.ShowMessage(owner, {"Failed to launch help.", applicationName_,
                                  MessageIcon::kExclamation, MessageButtons::kOk});
    return;
  }
  document.close();

  if (!window_) {
    window_ = new HelpWindow;
    window_->setWindowTitle(ToDisplayText(applicationName_) + QStringLiteral(" Help"));
  }
  QUrl contents = QUrl::fromLocalFile(path);
  contents.setFragment(QString::fromLatin1(kContentsAnchor));
  window_->ShowSection(contents, section);
  // A window the user has open stays where the user put it.
  if (!window_->isVisible()) window_->PlaceOver(owner);
  window_->show();
  window_->raise();
  window_->activateWindow();
  // A window that was just opened has no layout yet to scroll in: the
  // section is scrolled to once the window has been laid out.
  QTimer::singleShot(0, window_, [shown = window_, section] {
    if (shown) shown->Browser()->scrollToAnchor(section);
  });
}
