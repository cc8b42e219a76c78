#include "ui/help_window.h"

#include <QAction>
#include <QGuiApplication>
#include <QKeySequence>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QToolBar>
#include <QVBoxLayout>

#include <algorithm>

namespace {

constexpr int kWidth = 640;
constexpr int kHeight = 560;

// The room the help window's frame will take, guessed before the window
// manager has framed it: the owner's frame, but at least a common title bar
// and border, since a resizable window often gets thicker edges than a
// fixed-size one.
QMargins FrameAllowance(const QWidget* owner) {
  QMargins frame(8, 32, 8, 8);
  if (!owner) return frame;
  const QRect inner = owner->geometry();
  const QRect outer = owner->frameGeometry();
  return {std::max(frame.left(), inner.left() - outer.left()),
          std::max(frame.top(), inner.top() - outer.top()),
          std::max(frame.right(), outer.right() - inner.right()),
          std::max(frame.bottom(), outer.bottom() - inner.bottom())};
}

}  // namespace

QRect PlaceOnScreen(QSize size, QMargins frame, QRect owner, QRect available) {
  const QRect room = available.marginsRemoved(frame);
  const int width = std::min(size.width(), room.width());
  const int height = std::min(size.height(), room.height());
  const QPoint centre = owner.isValid() ? owner.center() : room.center();
  const int x = std::clamp(centre.x() - width / 2, room.left(), room.right() + 1 - width);
  const int y = std::clamp(centre.y() - height / 2, room.top(), room.bottom() + 1 - height);
  return {x, y, width, height};
}

HelpWindow::HelpWindow() : QWidget(nullptr, Qt::Window) {
  setObjectName(QStringLiteral("helpWindow"));
  // Closing the help is never closing the program.
  setAttribute(Qt::WA_QuitOnClose, false);
  resize(kWidth, kHeight);

  browser_ = new QTextBrowser(this);
  browser_->setObjectName(QStringLiteral("helpText"));
  browser_->setOpenExternalLinks(true);

  auto* bar = new QToolBar(this);
  bar->setToolButtonStyle(Qt::ToolButtonTextBesideIcon);
  back_ = bar->addAction(style()->standardIcon(QStyle::SP_ArrowBack), tr("&Back"));
  forward_ = bar->addAction(style()->standardIcon(QStyle::SP_ArrowForward), tr("&Forward"));
  home_ = bar->addAction(style()->standardIcon(QStyle::SP_DirHomeIcon), tr("&Home"));
  back_->setShortcut(QKeySequence::Back);
  forward_->setShortcut(QKeySequence::Forward);
  home_->setShortcut(QKeySequence(Qt::ALT | Qt::Key_Home));
  back_->setEnabled(false);
  forward_->setEnabled(false);
  connect(back_, &QAction::triggered, browser_, &QTextBrowser::backward);
  connect(forward_, &QAction::triggered, browser_, &QTextBrowser::forward);
  connect(home_, &QAction::triggered, this, [this] { browser_->setSource(contents_); });
  connect(browser_, &QTextBrowser::backwardAvailable, back_, &QAction::setEnabled);
  connect(browser_, &QTextBrowser::forwardAvailable, forward_, &QAction::setEnabled);

  for (const QKeySequence& key : {QKeySequence(Qt::Key_Escape), QKeySequence(Qt::CTRL | Qt::Key_W)})
    connect(new QShortcut(key, this), &QShortcut::activated, this, &QWidget::close);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(browser_);
}

void HelpWindow::ShowContents(const QUrl& contents) {
  contents_ = contents;
  browser_->setSource(contents, QTextDocument::HtmlResource);
  const QString title = browser_->documentTitle();
  if (!title.isEmpty()) setWindowTitle(title);
}

void HelpWindow::PlaceOver(const QWidget* owner) {
  const QWidget* ownerWindow = owner ? owner->window() : nullptr;
  QScreen* screen = ownerWindow ? ownerWindow->screen() : QGuiApplication::primaryScreen();
  if (!screen) return;
  const QRect ownerRect = ownerWindow ? ownerWindow->geometry() : QRect();
  setGeometry(PlaceOnScreen(QSize(kWidth, kHeight), FrameAllowance(ownerWindow), ownerRect,
                            screen->availableGeometry()));
}
