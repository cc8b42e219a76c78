#pragma once

#include <deque>
#include <optional>
#include <string>
#include <vector>

#include "ui/ui_services.h"

// Records every message and chooser a window asks for and answers with the
// queued answers in turn; once a queue is empty, a message gets
// `defaultMessageAnswer` and a chooser is cancelled.
class FakeUiServices : public UiServices {
 public:
  MessageAnswer ShowMessage(QWidget* owner, const MessageRequest& request) override {
    messages.push_back(request);
    messageOwners.push_back(owner);
    if (messageAnswers.empty()) return defaultMessageAnswer;
    const MessageAnswer answer = messageAnswers.front();
    messageAnswers.pop_front();
    return answer;
  }

  std::optional<std::string> ChooseFile(QWidget* owner,
                                        const FileChooserRequest& request) override {
    fileRequests.push_back(request);
    chooserOwners.push_back(owner);
    return Next(fileAnswers);
  }

  std::optional<std::string> ChooseDirectory(QWidget* owner, const std::string& title,
                                             const std::string& typedPath) override {
    directoryTitles.push_back(title);
    directoryStarts.push_back(typedPath);
    chooserOwners.push_back(owner);
    return Next(directoryAnswers);
  }

  std::vector<MessageRequest> messages;
  std::vector<QWidget*> messageOwners;
  std::deque<MessageAnswer> messageAnswers;
  MessageAnswer defaultMessageAnswer = MessageAnswer::kOk;

  std::vector<FileChooserRequest> fileRequests;
  std::deque<std::optional<std::string>> fileAnswers;
  std::vector<std::string> directoryTitles;
  std::vector<std::string> directoryStarts;  // the typed paths handed over
  std::deque<std::optional<std::string>> directoryAnswers;
  std::vector<QWidget*> chooserOwners;  // of files and directories, in turn

 private:
  static std::optional<std::string> Next(std::deque<std::optional<std::string>>& answers) {
    if (answers.empty()) return std::nullopt;
    std::optional<std::string> answer = answers.front();
    answers.pop_front();
    return answer;
  }
};
