#pragma once

#include <deque>
#include <string>
#include <vector>

#include "window/memory_controls.h"
#include "window/message_box.h"
#include "window/window_controls.h"

// What the tests need beyond the window's controls held in memory
// (window/memory_controls.h, which the tests use for boxes and lists): a
// record of what the code under test showed, scripted answers, and a list
// that refuses rows.

// Records every text together with whether it was repainted before the next
// text replaced it.
class RecordingStatusLine : public MemoryStatusLine {
 public:
  void SetText(const std::string& text) override {
    MemoryStatusLine::SetText(text);
    texts.push_back(text);
  }
  void Repaint() override { repainted.push_back(Text()); }

  std::vector<std::string> texts;      // every text set, in order
  std::vector<std::string> repainted;  // the text shown by each repaint
};

class CountingWaitCursor : public WaitCursor {
 public:
  void Begin() override { ++depth, ++begun; }
  void End() override { --depth; }
  int depth = 0;  // shown while above 0
  int begun = 0;
};

// Answers with the queued answers in turn, then with `defaultAnswer`.
class ScriptedMessageBox : public MessageBox {
 public:
  MessageAnswer Show(const MessageRequest& request) override {
    shown.push_back(request);
    if (answers.empty()) return defaultAnswer;
    MessageAnswer answer = answers.front();
    answers.pop_front();
    return answer;
  }

  std::vector<MessageRequest> shown;
  std::deque<MessageAnswer> answers;
  MessageAnswer defaultAnswer = MessageAnswer::kOk;
};

// A list that takes no more rows while `full` is set, as a list control
// out of memory.
class FullableListControl : public MemoryListControl {
 public:
  int InsertRow(int row, const std::string& label) override {
    return full ? -1 : MemoryListControl::InsertRow(row, label);
  }
  bool full = false;
};
