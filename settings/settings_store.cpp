#include "settings/settings_store.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <cstdio>

#include "settings/categories.h"
#include "settings/options.h"

namespace {

constexpr const char* kOptionsSection = "Default Settings";
constexpr const char* kEntriesSection = "Entries";

constexpr const char* kNumberOfItems = "Number of Items";

struct Column {
  const char* heading;
  const char* widthName;
  int defaultWidth;
};

constexpr std::array<Column, 3> kColumns{{
    {"File/Path", "List Field 1", 300},
    {"WildCard", "List Field 2", 50},
    {"Recurse", "List Field 3", 50},
}};

struct EntryValueNames {
  std::string path;
  std::string wildcard;
  std::string recurse;
};

EntryValueNames EntryNames(int index) {
  char prefix[16];
  std::snprintf(prefix, sizeof prefix, "%05d", index);
  const std::string p(prefix);
  return {p + "_FilePath", p + "_WildCard", p + "_Recurse"};
}

// A count far beyond the stored values comes from a damaged or hand-edited
// file: every entry past the stored ones would be an empty one, and a count
// in the millions would stall the start. Such a count is cut to the number
// of stored values, but never below this, so that short lists load exactly
// as stored.
constexpr int kEntriesAlwaysLoaded = 1000;

int EntriesToLoad(const Profile& profile) {
  const int stored = profile.GetProfileInt(kOptionsSection, kNumberOfItems, 0);
  const std::size_t values = profile.CountValues(kEntriesSection);
  const int bound = values > static_cast<std::size_t>(kEntriesAlwaysLoaded)
                        ? static_cast<int>(std::min<std::size_t>(values, INT32_MAX))
                        : kEntriesAlwaysLoaded;
  return std::min(stored, bound);
}

void LoadEntries(const Profile& profile, SettingsWindow& window) {
  const int count = EntriesToLoad(profile);
  for (int i = 0; i < count; ++i) {
    const EntryValueNames names = EntryNames(i);
    CleanEntry entry;
    entry.path = profile.GetProfileString(kEntriesSection, names.path, "");
    entry.wildcard = profile.GetProfileString(kEntriesSection, names.wildcard, "");
    entry.recurse = profile.GetProfileInt(kEntriesSection, names.recurse, -1);
    entry.individual = entry.wildcard.empty() ? 1 : 0;
    // Below the rows before it, so that the list shows the stored order
    // and a save keeps it.
    if (!window.entries.InsertEntry(entry, window.entries.Count())) {
      window.messages.Show(MessageRequest{"Couldn't insert entry from registry!",
                                          window.applicationName, MessageIcon::kNone,
                                          MessageButtons::kOk});
    }
  }
}

void SaveOption(Profile& profile, const CleanSettings& settings, const Option& option) {
  if (option.flag)
    profile.WriteProfileInt(kOptionsSection, option.valueName, settings.*option.flag);
  else
    profile.WriteProfileString(kOptionsSection, option.valueName, settings.*option.text);
}

// Every option but "Save settings", which is written before everything.
void SaveOptions(Profile& profile, const CleanSettings& settings) {
  for (const Option& option : kOptions)
    if (&option != &kSaveSettingsOption) SaveOption(profile, settings, option);
}

// A row that can't be read back leaves its index as an earlier save left it.
void SaveEntries(Profile& profile, const EntryList& entries) {
  const int count = entries.Count();
  profile.WriteProfileInt(kOptionsSection, kNumberOfItems, count);
  for (int i = 0; i < count; ++i) {
    CleanEntry entry;
    if (!entries.GetEntry(i, entry)) continue;
    const EntryValueNames names = EntryNames(i);
    profile.WriteProfileString(kEntriesSection, names.path, entry.path);
    if (!entry.individual) {
      profile.WriteProfileString(kEntriesSection, names.wildcard, entry.wildcard);
      profile.WriteProfileInt(kEntriesSection, names.recurse, entry.recurse);
    } else {
      profile.WriteProfileString(kEntriesSection, names.wildcard, std::nullopt);
      profile.WriteProfileInt(kEntriesSection, names.recurse, 0);
    }
  }
}

}  // namespace

void LoadOptions(const Profile& profile, CleanSettings& settings) {
  const CleanSettings defaults;
  for (const Option& option : kOptions) {
    if (option.flag)
      settings.*option.flag =
          profile.GetProfileInt(kOptionsSection, option.valueName, defaults.*option.flag);
    else
      settings.*option.text =
          profile.GetProfileString(kOptionsSection, option.valueName, defaults.*option.text);
  }
}

void LoadSettings(Profile& profile, CleanSettings& settings, SettingsWindow& window) {
  LoadOptions(profile, settings);
  for (const Category& category : kCategories)
    window.boxes.SetCheck(category.box, profile.GetProfileInt(kOptionsSection, category.valueName,
                                                              category.defaultState));

  ListControl& list = window.entries.Control();
  for (int c = 0; c < static_cast<int>(kColumns.size()); ++c) {
    const Column& column = kColumns[c];
    const int stored =
        profile.GetProfileInt(kOptionsSection, column.widthName, column.defaultWidth);
    list.InsertColumn(c, column.heading,
                      std::clamp(stored, kMinimumColumnWidth, kMaximumColumnWidth));
  }

  LoadEntries(profile, window);
}

void SaveSettings(Profile& profile, const CleanSettings& settings, SettingsWindow& window) {
  SaveOption(profile, settings, kSaveSettingsOption);
  if (settings.m_bSaveSettings) {
    SaveOptions(profile, settings);
    for (const Category& category : kCategories)
      profile.WriteProfileInt(kOptionsSection, category.valueName,
                              window.boxes.GetCheck(category.box));
    SaveEntries(profile, window.entries);

    const ListControl& list = window.entries.Control();
    for (int c = 0; c < static_cast<int>(kColumns.size()); ++c) {
      if (const auto width = list.ColumnWidth(c))
        profile.WriteProfileInt(kOptionsSection, kColumns[c].widthName, *width);
    }
  }
  // Failures to write are not reported to the user; the next start simply
  // finds the settings of the last save that succeeded.
  profile.Commit();
}
