#include "ui/help_window.h"

#include <QAction>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QScreen>
#include <QShortcut>
#include <QStyle>
#include <QTextBrowser>
#include <QTextCursor>
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

  findBar_ = new QWidget(this);
  findEdit_ = new QLineEdit(findBar_);
  findEdit_->setObjectName(QStringLiteral("helpFind"));
  findEdit_->setPlaceholderText(tr("Find in the help"));
  findEdit_->setClearButtonEnabled(true);
  findStatus_ = new QLabel(findBar_);
  auto* findLabel = new QLabel(tr("F&ind:"), findBar_);
  findLabel->setBuddy(findEdit_);
  auto* findLayout = new QHBoxLayout(findBar_);
  findLayout->setContentsMargins(6, 4, 6, 4);
  findLayout->addWidget(findLabel);
  findLayout->addWidget(findEdit_, 1);
  findLayout->addWidget(findStatus_);
  findBar_->hide();
  // Typing searches from where the last match began, so that the match
  // grows with the text instead of jumping ahead.
  connect(findEdit_, &QLineEdit::textEdited, this, [this] {
    QTextCursor cursor = browser_->textCursor();
    cursor.setPosition(cursor.selectionStart());
    browser_->setTextCursor(cursor);
    FindAgain();
  });
  connect(findEdit_, &QLineEdit::returnPressed, this, [this] { FindAgain(); });

  connect(new QShortcut(QKeySequence::Find, this), &QShortcut::activated, this,
          &HelpWindow::OpenFindBar);
  connect(new QShortcut(QKeySequence(Qt::Key_F3), this), &QShortcut::activated, this,
          [this] { FindAgain(); });
  connect(new QShortcut(QKeySequence(Qt::SHIFT | Qt::Key_F3), this), &QShortcut::activated, this,
          [this] { FindAgain(/*backward=*/true); });
  connect(new QShortcut(QKeySequence(Qt::Key_Escape), this), &QShortcut::activated, this,
          &HelpWindow::OnEscape);
  connect(new QShortcut(QKeySequence(Qt::CTRL | Qt::Key_W), this), &QShortcut::activated, this,
          &QWidget::close);

  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->setSpacing(0);
  layout->addWidget(bar);
  layout->addWidget(browser_);
  layout->addWidget(findBar_);
}

void HelpWindow::OpenFindBar() {
  findBar_->show();
  findEdit_->setFocus(Qt::ShortcutFocusReason);
  findEdit_->selectAll();
}

void HelpWindow::OnEscape() {
  if (findBar_->isVisible()) {
    findBar_->hide();
    browser_->setFocus();
    return;
  }
  close();
}

bool HelpWindow::FindAgain(bool backward) {
  const QString text = findEdit_->text();
  if (text.isEmpty()) {
    OpenFindBar();
    return false;
  }
  const QTextDocument::FindFlags flags =
      backward ? QTextDocument::FindBackward : QTextDocument::FindFlags();
  bool found = browser_->find(text, flags);
  if (!found) {
    // Round the end: start again from the other end of the document.
    QTextCursor cursor = browser_->textCursor();
    cursor.movePosition(backward ? QTextCursor::End : QTextCursor::Start);
    browser_->setTextCursor(cursor);
    found = browser_->find(text, flags);
  }
  findStatus_->setText(found ? QString() : tr("Not found"));
  return found;
}

void HelpWindow::ShowContents(const QUrl& contents) { ShowSection(contents, contents.fragment()); }

void HelpWindow::ShowSection(const QUrl& contents, const QString& section) {
  contents_ = contents;
  QUrl at = contents;
  at.setFragment(section);
  browser_->setSource(at, QTextDocument::HtmlResource);
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
