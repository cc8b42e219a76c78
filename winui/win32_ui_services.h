#pragma once

#include "winui/windows_api.h"

#include <optional>
#include <string>

#include "window/file_chooser_request.h"
#include "window/message_box.h"

// The modal windows that the program's windows open on top of themselves:
// message boxes and choosers. The program uses the system's own; tests put
// in their own answers and read what would have been shown.
class Win32UiServices {
 public:
  virtual ~Win32UiServices() = default;
  virtual MessageAnswer ShowMessage(HWND owner, const MessageRequest& request) = 0;
  // The chosen file's full path, as chosen, or nothing when the user
  // cancelled.
  virtual std::optional<std::string> ChooseFile(HWND owner, const FileChooserRequest& request) = 0;
  // The chosen folder's full path, or nothing when the user cancelled. The
  // chooser opens at `typedPath` when it names a folder.
  virtual std::optional<std::string> ChooseDirectory(HWND owner, const std::string& title,
                                                     const std::string& typedPath) = 0;
};

// A message box owned by one window, for code that knows no windows.
class Win32OwnedMessageBox : public MessageBox {
 public:
  Win32OwnedMessageBox(Win32UiServices& services, HWND owner)
      : services_(services), owner_(owner) {}
  MessageAnswer Show(const MessageRequest& request) override {
    return services_.ShowMessage(owner_, request);
  }
  void SetOwner(HWND owner) { owner_ = owner; }

 private:
  Win32UiServices& services_;
  HWND owner_;
};
