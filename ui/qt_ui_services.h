#pragma once

#include <QString>

#include "ui/ui_services.h"

// Real Qt windows: QMessageBox for messages, the Qt file dialog for files
// and directories. Each is modal and owned by the window that asks.
class QtUiServices : public UiServices {
 public:
  MessageAnswer ShowMessage(QWidget* owner, const MessageRequest& request) override;
  std::optional<std::string> ChooseFile(QWidget* owner, const FileChooserRequest& request) override;
  std::optional<std::string> ChooseDirectory(QWidget* owner, const std::string& title,
                                             const std::string& typedPath) override;
};

// The Qt name filter for one display text and pattern. The display text is
// shown exactly as given; "*.*" lists every file, also one without a dot.
QString QtNameFilter(const std::string& display, const std::string& pattern);

// The filters in the order the chooser offers them, the first being the
// initial one: on POSIX the one that shows every file leads.
std::vector<std::pair<std::string, std::string>> FiltersInShownOrder(
    const std::vector<std::pair<std::string, std::string>>& filters);

// Where a chooser opens for a path the user typed: the nearest existing
// folder on that path, or the home folder when nothing usable was typed
// (never the working directory, which is arbitrary for a program started
// from a menu).
QString DirectoryToStartIn(const std::string& typedPath);
