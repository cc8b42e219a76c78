#pragma once

#include <QPointer>
#include <QString>

#include <string>

#include "ui/help_window.h"

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

  // Opens the document at its contents in the help window, placed over
  // `owner` when it was closed, and brings it to the front. The window
  // lives until the user closes it or the viewer goes. When the document
  // can't be read, shows "Failed to launch help." owned by `owner` instead.
  void ShowContents(QWidget* owner);
  // The same, at the section (anchor) `section` of the document.
  void ShowSection(QWidget* owner, const QString& section);

  // The help window, once it has been opened.
  HelpWindow* Window() const { return window_; }

 private:
  std::string helpFile_;
  std::string applicationName_;
  UiServices& services_;
  QPointer<HelpWindow> window_;
};
