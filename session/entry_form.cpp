#include "session/entry_form.h"

#include <utility>

#include "platform/absolute_path.h"

namespace {

constexpr const char* kStandardWildcards[] = {"*.*", "*.tmp", "*.bak", "*.old"};

// A path that does not start at a root names a file in whatever folder the
// program happens to be started from; the clean run passes over it, so the
// editor refuses it rather than store an entry that never cleans.
#ifdef _WIN32
constexpr char kNotAFullPath[] = "Please enter a full path, beginning with a drive such as C:\\!";
#else
constexpr char kNotAFullPath[] = "Please enter a full path, beginning with /!";
#endif

void ShowFileError(MessageBox& messages, const char* text) {
  messages.Show({text, "File error", MessageIcon::kExclamation, MessageButtons::kOk});
}

}  // namespace

std::vector<std::string> WildcardChoices(const std::optional<std::string>& current) {
  std::vector<std::string> choices;
  if (current) choices.push_back(*current);
  choices.insert(choices.end(), std::begin(kStandardWildcards), std::end(kStandardWildcards));
  return choices;
}

EntryFormStart StartEntryForm(const CleanEntry& entry, EntryEditMode mode) {
  EntryFormStart start;
  if (mode == EntryEditMode::kAdd) {
    start.caption = "Add new entry...";
    start.wildcardChoices = WildcardChoices(std::nullopt);
    return start;
  }
  start.caption = "Edit existing entry...";
  if (entry.individual != 0) {
    // Only the file is shown: a wildcard the record may still hold stays
    // out of sight, and stays in the record.
    start.fields.individualOn = true;
    start.fields.fileText = entry.path;
    start.wildcardChoices = WildcardChoices(std::nullopt);
    return start;
  }
  start.fields.wildcardOn = true;
  start.fields.pathText = entry.path;
  start.fields.recurse = entry.recurse != 0;
  start.fields.wildcardText = entry.wildcard;
  start.wildcardChoices = WildcardChoices(entry.wildcard);
  start.firstWildcardSelected = true;
  return start;
}

FileChooserRequest FileToDeleteRequest(std::string typedPath) {
  // The display texts keep the blanks the filter list has always shown.
  return {"Select file to delete",
          {{"All Files (*.*) ", "*.*"},
           {" Links (*.lnk) ", "*.lnk"},
           {" Temporary Files (*.tmp) ", "*.tmp"},
           {" Backup Files (*.bak) ", "*.bak"},
           {" Old Files (*.old) ", "*.old"}},
          std::move(typedPath)};
}

bool AcceptEntryForm(const EntryFormFields& shown, CleanEntry& entry, MessageBox& messages) {
  if (shown.individualOn) {
    entry.path = shown.fileText;
    if (entry.path.empty()) {
      ShowFileError(messages, "Please enter a valid file description!");
      return false;
    }
    if (!IsAbsolutePath(entry.path)) {
      ShowFileError(messages, kNotAFullPath);
      return false;
    }
    entry.individual = 1;
    return true;
  }
  if (!shown.wildcardOn) return false;

  entry.path = shown.pathText;
  if (entry.path.empty()) {
    ShowFileError(messages, "Please enter a valid directory!");
    return false;
  }
  if (!IsAbsolutePath(entry.path)) {
    ShowFileError(messages, kNotAFullPath);
    return false;
  }
  entry.wildcard = shown.wildcardText;
  if (entry.wildcard.empty()) {
    ShowFileError(messages, "Please enter a valid wildcard!");
    return false;
  }
  entry.individual = 0;
  entry.recurse = shown.recurse ? 1 : 0;
  if (entry.wildcard != kEverythingWildcard) return true;
  return messages.Show(DeleteEverythingQuestion(entry.path)) == MessageAnswer::kOk;
}
