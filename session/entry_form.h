#pragma once

#include <optional>
#include <string>
#include <vector>

#include "settings/clean_entry.h"
#include "settings/entry_commands.h"
#include "window/file_chooser_request.h"
#include "window/message_box.h"

// What the entry editor shows, whatever toolkit draws it: which of its two
// kinds is switched on (one file, or a wildcard in a directory; neither
// before the user chose) and the texts and tick of its controls.
struct EntryFormFields {
  bool individualOn = false;
  bool wildcardOn = false;
  std::string fileText;
  std::string pathText;
  std::string wildcardText;
  bool recurse = false;

  bool operator==(const EntryFormFields&) const = default;
};

// How the editor opens on `entry`: its caption, its fields, and the
// wildcard box's list, whose first item is selected when
// `firstWildcardSelected` (the entry's own wildcard, listed before the
// standard ones).
struct EntryFormStart {
  std::string caption;
  EntryFormFields fields;
  std::vector<std::string> wildcardChoices;
  bool firstWildcardSelected = false;
};

EntryFormStart StartEntryForm(const CleanEntry& entry, EntryEditMode mode);

// The wildcard box's list: `current` first when there is one, then the
// standard wildcards ("*.tmp" may so be listed twice).
std::vector<std::string> WildcardChoices(const std::optional<std::string>& current);

// The choosers of the editor's two Browse buttons.
FileChooserRequest FileToDeleteRequest(std::string typedPath);
inline constexpr char kChooseDirectoryTitle[] = "Choose directory to clean from...";

// OK: takes the fields into `entry`, checking each as it is taken and
// saying through `messages` what is missing, and asks before a wildcard
// that takes every file. True when the editor may close; `entry` then
// holds the new entry. When false, `entry` may hold some of the texts
// already, and the caller drops it unless the user confirms later.
bool AcceptEntryForm(const EntryFormFields& shown, CleanEntry& entry, MessageBox& messages);
