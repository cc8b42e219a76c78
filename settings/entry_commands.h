#pragma once

#include <string>
#include <vector>

#include "settings/clean_entry.h"
#include "settings/entry_list.h"
#include "window/message_box.h"

// The wildcard that takes every file of a directory.
inline constexpr char kEverythingWildcard[] = "*.*";

// Asked before an entry is set to delete every file under `path`.
MessageRequest DeleteEverythingQuestion(const std::string& path);

// How the entry editor is opened: on a new entry, or on an existing one.
enum class EntryEditMode { kAdd = 0, kEdit = 1 };

// The dialog in which the user fills in one entry. The window opens its
// entry editor; tests script the answer.
class EntryEditor {
 public:
  virtual ~EntryEditor() = default;
  // Runs the editor modally on `entry`. True when the user confirmed; only
  // then does `entry` hold what the user chose.
  virtual bool Run(CleanEntry& entry, EntryEditMode mode) = 0;
};

// The commands that change the custom entries: Add, Copy, Edit, Delete,
// dropped names and the end of an in-place edit of a row's path. Every
// change goes through the entry list, so a changed or new row always ends
// up at the top.
class EntryCommands {
 public:
  EntryCommands(EntryList& entries, MessageBox& messages, EntryEditor& editor,
                std::string applicationName);

  void OnAddEntry();
  void OnEditEntry() { EditEntry(true); }
  void OnCopyEntry() { EditEntry(false); }
  void OnDeleteEntry();

  // Opens the editor on the selected row. With `replace` the edited entry
  // takes the row's place (at the top); without it, it is added as a copy.
  void EditEntry(bool replace);

  // Each name, file or directory alike, becomes an individual-file entry, in
  // the order given, so the last name ends up as the top row.
  void OnDropFiles(const std::vector<std::string>& names);

  // Takes the text that an in-place edit left in the path column of `row`.
  // Retargeting a wildcard entry whose wildcard is "*.*" sweeps a whole new
  // directory, so that needs the same confirmation as in the entry editor;
  // when declined the row keeps its old path.
  void OnEndLabelEdit(int row, const std::string& newPath);

 private:
  EntryList& entries_;
  MessageBox& messages_;
  EntryEditor& editor_;
  std::string applicationName_;
};
