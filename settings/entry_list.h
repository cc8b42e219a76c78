#pragma once

#include "settings/clean_entry.h"
#include "window/list_control.h"
#include "window/message_box.h"

// The custom entries, held only as the rows of the window's list:
// column 0 the path, column 1 the wildcard (empty for an individual file),
// column 2 "Yes" or "No" for the recursion (empty for an individual file).
// A new row goes to the top unless a place is given.
class EntryList {
 public:
  EntryList(ListControl& list, MessageBox& messages) : list_(list), messages_(messages) {}

  // Adds the entry as row `row` (the top row unless given). On refusal
  // shows "Couldn't insert the entry!" and returns false.
  bool InsertEntry(const CleanEntry& entry, int row = 0);
  // Reads row `row` into `entry`. False when the row doesn't exist or its
  // Recurse column is neither "Yes" nor "No"; `entry` may then be partly
  // written and must be discarded. An individual row leaves `wildcard` and
  // `recurse` as they were.
  bool GetEntry(int row, CleanEntry& entry) const;
  // Removes row `row`. On refusal (no such row, -1 included) shows
  // "Couldn't delete entry!" and returns false.
  bool DeleteEntry(int row);
  // The selected row, or -1.
  int SelectedRow() const { return list_.SelectedRow(); }
  int Count() const { return list_.RowCount(); }

  ListControl& Control() { return list_; }

 private:
  ListControl& list_;
  MessageBox& messages_;
};
