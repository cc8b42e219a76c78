#include "ui/qt_ui_services.h"

#include <QApplication>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QMessageBox>
#include <QStringList>

#include "ui/narrow_text.h"

namespace {

QMessageBox::Icon ToQtIcon(MessageIcon icon) {
  switch (icon) {
    case MessageIcon::kStop:
      return QMessageBox::Critical;
    case MessageIcon::kExclamation:
      return QMessageBox::Warning;
    case MessageIcon::kQuestion:
      return QMessageBox::Question;
    case MessageIcon::kNone:
      break;
  }
  return QMessageBox::NoIcon;
}

std::string ToFileName(const QString& path) { return QFile::encodeName(path).toStdString(); }

// Qt trims the display texts of name filters; ours carry their blanks as
// the program has always shown them. The filter box of Qt's own dialog is
// found by its object name; without it Qt's trimmed texts stay.
void ShowFilterTextsAsGiven(QFileDialog& dialog, const FileChooserRequest& request) {
  auto* filterBox = dialog.findChild<QComboBox*>(QStringLiteral("fileTypeCombo"));
  if (!filterBox || filterBox->count() != static_cast<int>(request.filters.size())) return;
  for (int i = 0; i < filterBox->count(); ++i)
    filterBox->setItemText(i, ToDisplayText(request.filters[static_cast<size_t>(i)].first));
}

}  // namespace

MessageAnswer QtUiServices::ShowMessage(QWidget* owner, const MessageRequest& request) {
  const QString caption =
      request.caption.empty() ? QApplication::applicationName() : ToDisplayText(request.caption);
  QMessageBox box(ToQtIcon(request.icon), caption, ToDisplayText(request.text),
                  QMessageBox::NoButton, owner);
  // Paths may hold '<' and '&': never read them as markup.
  box.setTextFormat(Qt::PlainText);
  if (request.buttons == MessageButtons::kOkCancelDefaultCancel) {
    box.setStandardButtons(QMessageBox::Ok | QMessageBox::Cancel);
    box.setDefaultButton(QMessageBox::Cancel);
    box.setEscapeButton(QMessageBox::Cancel);
  } else {
    box.setStandardButtons(QMessageBox::Ok);
    box.setDefaultButton(QMessageBox::Ok);
    box.setEscapeButton(QMessageBox::Ok);
  }
  if (owner) box.setWindowModality(Qt::WindowModal);
  box.exec();
  return box.clickedButton() == box.button(QMessageBox::Ok) ? MessageAnswer::kOk
                                                            : MessageAnswer::kCancel;
}

QString QtNameFilter(const std::string& display, const std::string& pattern) {
  // Qt reads the patterns from the last pair of parentheses and, with
  // HideNameFilterDetails, shows only what comes before them.
  const QString qtPattern = pattern == "*.*" ? QStringLiteral("*") : ToDisplayText(pattern);
  return ToDisplayText(display) + QLatin1Char('(') + qtPattern + QLatin1Char(')');
}

std::vector<std::pair<std::string, std::string>> FiltersInShownOrder(
    const std::vector<std::pair<std::string, std::string>>& filters) {
#ifdef _WIN32
  return filters;
#else
  // Programs and documents here carry no ".exe" or ".lnk": the filter that
  // shows every file comes first, so that the chooser opens on it.
  std::vector<std::pair<std::string, std::string>> ordered;
  for (const auto& filter : filters)
    if (filter.second == "*.*") ordered.push_back(filter);
  for (const auto& filter : filters)
    if (filter.second != "*.*") ordered.push_back(filter);
  return ordered;
#endif
}

QString DirectoryToStartIn(const std::string& typed) {
  const QString home = QDir::homePath();
  if (typed.empty() || typed.front() != '/') return home;
  // The nearest folder that exists on the typed path.
  for (QFileInfo at(ToDisplayText(typed));; at = QFileInfo(at.absolutePath())) {
    if (at.isDir()) return at.absoluteFilePath();
    if (at.isRoot()) return home;
  }
}

std::optional<std::string> QtUiServices::ChooseFile(QWidget* owner,
                                                    const FileChooserRequest& given) {
  const FileChooserRequest request{given.title, FiltersInShownOrder(given.filters),
                                   given.typedPath};
  QFileDialog dialog(owner, ToDisplayText(request.title), DirectoryToStartIn(request.typedPath));
  if (owner) dialog.setWindowModality(Qt::WindowModal);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::ExistingFile);
  // Qt's own dialog: it hands back a chosen link's own path, never its target.
  dialog.setOptions(QFileDialog::DontResolveSymlinks | QFileDialog::DontUseNativeDialog |
                    QFileDialog::HideNameFilterDetails);
  QStringList filters;
  for (const auto& [display, pattern] : request.filters) filters << QtNameFilter(display, pattern);
  dialog.setNameFilters(filters);
  if (!filters.isEmpty()) dialog.selectNameFilter(filters.front());
  ShowFilterTextsAsGiven(dialog, request);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dialog.selectedFiles().front();
  if (chosen.isEmpty()) return std::nullopt;
  return ToFileName(chosen);
}

std::optional<std::string> QtUiServices::ChooseDirectory(QWidget* owner, const std::string& title,
                                                         const std::string& typedPath) {
  QFileDialog dialog(owner, ToDisplayText(title), DirectoryToStartIn(typedPath));
  if (owner) dialog.setWindowModality(Qt::WindowModal);
  dialog.setAcceptMode(QFileDialog::AcceptOpen);
  dialog.setFileMode(QFileDialog::Directory);
  dialog.setOptions(QFileDialog::ShowDirsOnly | QFileDialog::DontResolveSymlinks |
                    QFileDialog::DontUseNativeDialog);
  if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
  const QString chosen = dialog.selectedFiles().front();
  if (chosen.isEmpty()) return std::nullopt;
  return ToFileName(chosen);
}
