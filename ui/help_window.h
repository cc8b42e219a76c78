#pragma once

#include <QRect>
#include <QUrl>
#include <QWidget>

class QAction;
class QTextBrowser;

// The help window: the help document with Back, Forward and Home (its
// contents). Escape and Ctrl+W close it. It belongs to no other window, so
// it stays open when the dialog that asked for it closes, and it is never
// blocked by a dialog that is open beside it.
class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  HelpWindow();

  // Shows `contents` (the document at its contents section).
  void ShowContents(const QUrl& contents);
  // Places the window over `owner`, wholly on the owner's screen.
  void PlaceOver(const QWidget* owner);

  QTextBrowser* Browser() const { return browser_; }
  QAction* BackAction() const { return back_; }
  QAction* ForwardAction() const { return forward_; }
  QAction* HomeAction() const { return home_; }

 private:
  QTextBrowser* browser_;
  QAction* back_;
  QAction* forward_;
  QAction* home_;
  QUrl contents_;
};

// The geometry (without the frame) of a window of `size` placed centred
// over `owner`, moved and if need be shrunk so that the window with its
// `frame` lies wholly within `available`.
QRect PlaceOnScreen(QSize size, QMargins frame, QRect owner, QRect available);
