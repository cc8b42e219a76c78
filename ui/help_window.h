#pragma once

#include <QRect>
#include <QUrl>
#include <QWidget>

class QAction;
class QLabel;
class QLineEdit;
class QTextBrowser;

// The help window: the help document with Back, Forward and Home (its
// contents), and a find bar: Ctrl+F opens it, Enter and F3 find the next
// match, Shift+F3 the one before, both going round the end. Escape closes
// the find bar, or the window when the bar is closed; Ctrl+W closes it. It belongs to no other
// window, so it stays open when the dialog that asked for it closes, and it is never blocked by a
// dialog that is open beside it.
class HelpWindow : public QWidget {
  Q_OBJECT

 public:
  HelpWindow();

  // Shows `contents` (the document at its contents section).
  void ShowContents(const QUrl& contents);
  // Shows the document at `section` (an anchor); Home leads to `contents`.
  void ShowSection(const QUrl& contents, const QString& section);
  // Finds the next (or the previous) match of the find bar's text, going
  // round the end of the document; false when there is none.
  bool FindAgain(bool backward = false);
  // Places the window over `owner`, wholly on the owner's screen.
  void PlaceOver(const QWidget* owner);

  QTextBrowser* Browser() const { return browser_; }
  QAction* BackAction() const { return back_; }
  QAction* ForwardAction() const { return forward_; }
  QAction* HomeAction() const { return home_; }
  QLineEdit* FindEdit() const { return findEdit_; }

 private:
  QTextBrowser* browser_;
  QAction* back_;
  QAction* forward_;
  QAction* home_;
  QWidget* findBar_;
  QLineEdit* findEdit_;
  QLabel* findStatus_;
  QUrl contents_;

  void OpenFindBar();
  void OnEscape();
};

// The geometry (without the frame) of a window of `size` placed centred
// over `owner`, moved and if need be shrunk so that the window with its
// `frame` lies wholly within `available`.
QRect PlaceOnScreen(QSize size, QMargins frame, QRect owner, QRect available);
