#include "settings/entry_commands.h"

#include <utility>

namespace {

constexpr int kPathColumn = 0;
constexpr int kWildcardColumn = 1;

}  // namespace

MessageRequest DeleteEverythingQuestion(const std::string& path) {
  return {"This will delete ALL files under " + path + ". Continue?", kMessageCaption,
          MessageIcon::kQuestion, MessageButtons::kOkCancelDefaultCancel};
}

EntryCommands::EntryCommands(EntryList& entries, MessageBox& messages, EntryEditor& editor,
                             std::string applicationName)
    : entries_(entries),
      messages_(messages),
      editor_(editor),
      applicationName_(std::move(applicationName)) {}

void EntryCommands::OnAddEntry() {
  CleanEntry entry;
  if (editor_.Run(entry, EntryEditMode::kAdd)) entries_.InsertEntry(entry);
}

void EntryCommands::EditEntry(bool replace) {
  const int row = entries_.SelectedRow();
  CleanEntry entry;
  if (!entries_.GetEntry(row, entry)) {
    messages_.Show(
        {"No item specified!", applicationName_, MessageIcon::kNone, MessageButtons::kOk});
    return;
  }
  if (!editor_.Run(entry, EntryEditMode::kEdit)) return;
  // A failed removal has shown its own message; the edited entry is still
  // worth keeping, so it is inserted all the same.
  if (replace) entries_.DeleteEntry(row);
  entries_.InsertEntry(entry);
}

void EntryCommands::OnDeleteEntry() { entries_.DeleteEntry(entries_.SelectedRow()); }

void EntryCommands::OnDropFiles(const std::vector<std::string>& names) {
  for (const std::string& name : names) entries_.InsertEntry(CleanEntry{1, name, "", 0});
}

void EntryCommands::OnEndLabelEdit(int row, const std::string& newPath) {
  ListControl& list = entries_.Control();
  const auto oldPath = list.CellText(row, kPathColumn);
  if (!oldPath) return;
  // An empty path is never swept, so emptying one needs no confirmation.
  const bool retargetsEverything = list.CellText(row, kWildcardColumn) == kEverythingWildcard &&
                                   !newPath.empty() && newPath != *oldPath;
  if (retargetsEverything) {
    if (messages_.Show(DeleteEverythingQuestion(newPath)) != MessageAnswer::kOk) return;
  }
  list.SetCellText(row, kPathColumn, newPath);
}
