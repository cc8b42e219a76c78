#include "settings/entry_list.h"

namespace {

constexpr int kPathColumn = 0;
constexpr int kWildcardColumn = 1;
constexpr int kRecurseColumn = 2;

MessageRequest ListError(const char* text) {
  return {text, "Error", MessageIcon::kStop, MessageButtons::kOk};
}

}  // namespace

bool EntryList::InsertEntry(const CleanEntry& entry, int at) {
  const int row = list_.InsertRow(at, entry.path);
  if (row == -1) {
    messages_.Show(ListError("Couldn't insert the entry!"));
    return false;
  }
  if (entry.individual) return true;
  list_.SetCellText(row, kWildcardColumn, entry.wildcard);
  list_.SetCellText(row, kRecurseColumn, entry.recurse ? "Yes" : "No");
  return true;
}

bool EntryList::GetEntry(int row, CleanEntry& entry) const {
  auto path = list_.CellText(row, kPathColumn);
  if (!path) return false;
  entry.path = std::move(*path);

  auto wildcard = list_.CellText(row, kWildcardColumn);
  if (!wildcard) return false;
  if (wildcard->empty()) {
    entry.individual = 1;
    return true;
  }
  entry.individual = 0;
  entry.wildcard = std::move(*wildcard);

  const auto recurse = list_.CellText(row, kRecurseColumn);
  if (!recurse) return false;
  if (*recurse == "Yes") {
    entry.recurse = 1;
    return true;
  }
  if (*recurse == "No") {
    entry.recurse = 0;
    return true;
  }
  return false;
}

bool EntryList::DeleteEntry(int row) {
  if (!list_.DeleteRow(row)) {
    messages_.Show(ListError("Couldn't delete entry!"));
    return false;
  }
  return true;
}
