#include "ui/menu_builder.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QString>

QString MenuActionName(MenuCommand command) {
  return QStringLiteral("command%1").arg(static_cast<int>(command));
}

MenuCommand CommandOf(const QAction& action) {
  return static_cast<MenuCommand>(action.data().toInt());
}

// The keys act through the window (Enter and Esc) and the list (Del), where
// the focus decides, and F1 through the program's help key.
void AddMenuItems(QMenu& menu, const MenuPopup& popup) {
  for (const MenuItem& item : popup.items) {
    QString text = QString::fromUtf8(item.text);
    if (const char* key = main_menu::KeyOf(item.command))
      text += QLatin1Char('\t') + QLatin1String(key);
    QAction* action = menu.addAction(text);
    action->setObjectName(MenuActionName(item.command));
    action->setData(static_cast<int>(item.command));
    action->setStatusTip(QString::fromUtf8(item.prompt));
  }
}

QMenuBar* BuildMenuBar(std::span<const MenuPopup> popups, QWidget* parent) {
  auto* bar = new QMenuBar(parent);
  for (const MenuPopup& popup : popups) {
    QMenu* menu = bar->addMenu(QString::fromUtf8(popup.text));
    menu->setObjectName(QString::fromUtf8(popup.text).remove(QLatin1Char('&')) +
                        QStringLiteral("Menu"));
    AddMenuItems(*menu, popup);
  }
  return bar;
}
