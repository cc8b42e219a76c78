#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "winui/win32_ui_services.h"

// Message boxes and choosers that answer from a script and remember what
// they were asked and by which window, for the windows' tests.
class ScriptedUiServices : public Win32UiServices {
 public:
  struct Message {
    HWND owner;
    MessageRequest request;
  };

  MessageAnswer ShowMessage(HWND owner, const MessageRequest& request) override {
    messages.push_back({owner, request});
    if (answers.empty()) return MessageAnswer::kOk;
    const MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }
  std::optional<std::string> ChooseFile(HWND, const FileChooserRequest& request) override {
    fileRequests.push_back(request);
    return chosenFile;
  }
  std::optional<std::string> ChooseDirectory(HWND, const std::string& title,
                                             const std::string& typedPath) override {
    directoryRequests.push_back({title, typedPath});
    return chosenDirectory;
  }

  std::deque<MessageAnswer> answers;  // then OK
  std::optional<std::string> chosenFile;
  std::optional<std::string> chosenDirectory;
  std::vector<Message> messages;
  std::vector<FileChooserRequest> fileRequests;
  std::vector<std::pair<std::string, std::string>> directoryRequests;  // title, typed path
};

// A plain top-level window for a test's dialogs to be owned by; destroyed
// with the test.
class TestOwnerWindow {
 public:
  TestOwnerWindow()
      : window_(CreateWindowExW(0, L"STATIC", L"owner", WS_OVERLAPPEDWINDOW, 0, 0, 200, 200,
                                nullptr, nullptr, nullptr, nullptr)) {}
  ~TestOwnerWindow() { DestroyWindow(window_); }
  TestOwnerWindow(const TestOwnerWindow&) = delete;
  TestOwnerWindow& operator=(const TestOwnerWindow&) = delete;
  HWND Handle() const { return window_; }

 private:
  HWND window_;
};

// Whether a modal dialog is still running: ending one gives its owner back
// its input at once, while the dialog itself goes only when its loop next
// looks.
inline bool IsStillOpen(HWND dialog) { return !IsWindowEnabled(GetWindow(dialog, GW_OWNER)); }
