#pragma once

#include <deque>
#include <map>
#include <set>
#include <string>
#include <vector>

#include "window/list_control.h"
#include "window/message_box.h"
#include "window/window_controls.h"

// In-memory stand-ins for the window, recording what the code under test did.

class FakeCheckBoxes : public CheckBoxes {
 public:
  int GetCheck(ControlId box) const override {
    auto it = checks.find(box);
    return it == checks.end() ? 0 : it->second;
  }
  void SetCheck(ControlId box, int state) override { checks[box] = state; }
  void Enable(ControlId box, bool enabled) override {
    if (enabled)
      disabled.erase(box);
    else
      disabled.insert(box);
  }

  std::map<ControlId, int> checks;
  std::set<ControlId> disabled;
};

// Records every text together with whether it was repainted before the next
// text replaced it.
class FakeStatusLine : public StatusLine {
 public:
  void SetText(const std::string& text) override {
    current = text;
    texts.push_back(text);
  }
  void Repaint() override { repainted.push_back(current); }

  std::string current;
  std::vector<std::string> texts;      // every text set, in order
  std::vector<std::string> repainted;  // the text shown by each repaint
};

class FakeWaitCursor : public WaitCursor {
 public:
  void Begin() override { ++depth, ++begun; }
  void End() override { --depth; }
  int depth = 0;
  int begun = 0;
};

// Answers with the queued answers in turn, then with `defaultAnswer`.
class FakeMessageBox : public MessageBox {
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

class InMemoryListControl : public ListControl {
 public:
  int InsertRow(int row, const std::string& label) override;
  bool SetCellText(int row, int column, const std::string& text) override;
  std::optional<std::string> CellText(int row, int column) const override;
  bool DeleteRow(int row) override;
  int RowCount() const override { return static_cast<int>(rows.size()); }
  int SelectedRow() const override { return selected; }
  void InsertColumn(int column, const std::string& heading, int width) override;
  std::optional<int> ColumnWidth(int column) const override;

  struct Column {
    std::string heading;
    int width = 0;
  };
  std::vector<std::vector<std::string>> rows;  // three cells each
  std::vector<Column> columns;
  int selected = -1;
  bool refuseInserts = false;
};
