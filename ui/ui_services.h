#pragma once

#include <optional>
#include <string>

#include "window/file_chooser_request.h"
#include "window/message_box.h"

class QWidget;

// The modal windows that the program's windows open on top of themselves:
// message boxes and choosers. The program uses real Qt windows; tests put in
// their own answers and read what would have been shown.
class UiServices {
 public:
  virtual ~UiServices() = default;
  virtual MessageAnswer ShowMessage(QWidget* owner, const MessageRequest& request) = 0;
  // The chosen file's full path, as chosen (a link is not resolved), or
  // nothing when the user cancelled.
  virtual std::optional<std::string> ChooseFile(QWidget* owner,
                                                const FileChooserRequest& request) = 0;
  // The chosen directory's full path, or nothing when the user cancelled.
  // The chooser opens at `typedPath` when it names a folder.
  virtual std::optional<std::string> ChooseDirectory(QWidget* owner, const std::string& title,
                                                     const std::string& typedPath) = 0;
};

// A message box owned by one window, for code that knows no widgets.
class OwnedMessageBox : public MessageBox {
 public:
  OwnedMessageBox(UiServices& services, QWidget* owner) : services_(services), owner_(owner) {}
  MessageAnswer Show(const MessageRequest& request) override {
    return services_.ShowMessage(owner_, request);
  }

 private:
  UiServices& services_;
  QWidget* owner_;
};
