#include "ui/help_viewer.h"

#include <QFile>
#include <QTextBrowser>
#include <QUrl>

#include <utility>

#include "ui/narrow_text.h"
#include "ui/ui_services.h"

namespace {

constexpr char kContentsAnchor[] = "contents";
constexpr int kWidth = 640;
constexpr int kHeight = 560;

}  // namespace

HelpViewer::HelpViewer(std::string helpFile, std::string applicationName, UiServices& services)
    : helpFile_(std::move(helpFile)),
      applicationName_(std::move(applicationName)),
      services_(services) {}

HelpViewer::~HelpViewer() { delete window_; }

void HelpViewer::ShowContents(QWidget* owner) {
  const QString path = ToDisplayText(helpFile_);
  QFile document(path);
  if (!document.open(QIODevice::ReadOnly)) {
    services_.ShowMessage(owner, {"Failed to launch help.", applicationName_,
                                  MessageIcon::kExclamation, MessageButtons::kOk});
    return;
  }
  document.close();

  // A window is blocked while a modal dialog other than its own parent is
  // open, so the help window belongs to whichever window asked for it.
  if (!window_) {
    window_ = new QTextBrowser(owner);
    window_->setWindowFlags(Qt::Window);
    window_->setObjectName(QStringLiteral("helpWindow"));
    window_->resize(kWidth, kHeight);
    window_->setOpenExternalLinks(true);
  } else if (window_->parentWidget() != owner) {
    window_->setParent(owner, Qt::Window);
  }

  QUrl contents = QUrl::fromLocalFile(path);
  contents.setFragment(QString::fromLatin1(kContentsAnchor));
  window_->setSource(contents, QTextDocument::HtmlResource);
  window_->setWindowTitle(window_->documentTitle().isEmpty()
                              ? ToDisplayText(applicationName_) + QStringLiteral(" Help")
                              : window_->documentTitle());
  window_->show();
  window_->raise();
  window_->activateWindow();
}
