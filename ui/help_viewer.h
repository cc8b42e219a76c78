#pragma once

#include <QPointer>
#include <QString>
#include <QTextBrowser>

#include <string>

class QWidget;
class UiServices;

// Shows the program's help document, an HTML file, in a help window of the
// program, opened at its contents section.
class HelpViewer {
 public:
  // `helpFile` is the document's path as bytes; `applicationName` captions
  // the message shown when the document can't be opened.
  HelpViewer(std::string helpFile, std::string applicationName, UiServices& services);
  ~HelpViewer();
  HelpViewer(const HelpViewer&) = delete;
  HelpViewer& operator=(const HelpViewer&) = delete;

  // Opens the document at its contents in a window above `owner` (which
  // may be a modal dialog: the help window stays usable beside it). When
  // the document can't be read, shows "Failed to launch help." owned by
  // `owner` instead.
  void ShowContents(QWidget* owner);

  // The help window, once it has been opened and while it exists.
  QTextBrowser* Window() const { return window_; }

 private:
  std::string helpFile_;
  std::string applicationName_;
  UiServices& services_;
  QPointer<QTextBrowser> window_;
};
