#pragma once

#include "winui/win32_ui_services.h"

// The system's own message boxes and choosers: MessageBoxW, the common
// open-file dialog and the shell's folder browser, each owned by the window
// that asks.
class SystemUiServices : public Win32UiServices {
 public:
  MessageAnswer ShowMessage(HWND owner, const MessageRequest& request) override;
  // Shortcuts are returned as themselves, never as their targets.
  std::optional<std::string> ChooseFile(HWND owner, const FileChooserRequest& request) override;
  // Only folders of the file system can be confirmed.
  std::optional<std::string> ChooseDirectory(HWND owner, const std::string& title,
                                             const std::string& typedPath) override;
};

// MessageBoxW's style for `request`: its icon, its buttons and which one is
// the default.
UINT MessageBoxStyleOf(const MessageRequest& request);

// The open-file dialog's filter list: display text and pattern of each
// filter, each ended by a NUL, and the whole list by one more.
std::wstring FilterListOf(const FileChooserRequest& request);

// The folder a chooser opens in for what the user typed: the typed path's
// folder (the path itself when it names a folder), or nothing (empty) when
// neither exists.
std::wstring StartingFolderOf(const std::string& typedPath);
