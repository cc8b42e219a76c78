#include "ui/help_sections.h"

#include <QWidget>

#include "ui/about_dialog.h"
#include "ui/entry_dialog.h"
#include "ui/main_window.h"
#include "ui/options_dialog.h"
#include "ui/preview_dialog.h"

QString HelpSectionOf(const QWidget* window) {
  if (qobject_cast<const CCleanerDlg*>(window)) return QStringLiteral("window");
  if (qobject_cast<const CEntryDlg*>(window)) return QStringLiteral("editor");
  if (qobject_cast<const COptionsDlg*>(window)) return QStringLiteral("options");
  if (qobject_cast<const PreviewDialog*>(window)) return QStringLiteral("preview");
  if (qobject_cast<const CAboutDlg*>(window)) return QStringLiteral("about");
  return QStringLiteral("contents");
}
