#pragma once

#include <span>

// Menu 131: the main window's menu bar. Its "&Entry" pop-up (position 1) is
// also the entry list's context menu.
enum class MenuCommand : int {
  kClean = 32771,
  kExit = 32772,
  kAddEntry = 32773,
  kModifyEntry = 32774,
  kDeleteEntry = 32775,
  kHelpContents = 32776,
  kAbout = 32777,
  kOptions = 32778,
  kCopyEntry = 32779,
  kPreview = 32780,
};

struct MenuItem {
  MenuCommand command;
  const char* text;
  const char* prompt;  // the longer description of the command; empty when none
};

struct MenuPopup {
  const char* text;
  std::span<const MenuItem> items;
};

namespace main_menu {

inline constexpr MenuItem kFileItems[] = {
    {MenuCommand::kClean, "C&lean", "Clean files..."},
    {MenuCommand::kPreview, "Pre&view...", "See what a clean would delete"},
    {MenuCommand::kOptions, "&Options...", "Dustral Options"},
    {MenuCommand::kExit, "E&xit", "Quit Dustral"},
};

inline constexpr MenuItem kEntryItems[] = {
    {MenuCommand::kAddEntry, "&Add...", "Add a new entry..."},
    {MenuCommand::kCopyEntry, "&Copy...", ""},
    {MenuCommand::kModifyEntry, "&Modify...", "Modify selected entry..."},
    {MenuCommand::kDeleteEntry, "&Delete", "Delete selected entry..."},
};

inline constexpr MenuItem kHelpItems[] = {
    {MenuCommand::kHelpContents, "&Help", "Get help on Dustral"},
    {MenuCommand::kAbout, "&About", "About Dustral"},
};

inline constexpr MenuPopup kPopups[] = {
    {"&File", kFileItems},
    {"&Entry", kEntryItems},
    {"&Help", kHelpItems},
};

inline constexpr int kEntryPopup = 1;

// The key that gives a command in the main window, shown after the item's
// text behind a tab; nullptr for none. The menu only shows it: the keys
// act through the window itself.
constexpr const char* KeyOf(MenuCommand command) {
  switch (command) {
    case MenuCommand::kClean:
      return "Enter";
    case MenuCommand::kExit:
      return "Esc";
    case MenuCommand::kHelpContents:
      return "F1";
    case MenuCommand::kDeleteEntry:
      return "Del";
    default:
      return nullptr;
  }
}

}  // namespace main_menu
