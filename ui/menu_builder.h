#pragma once

#include <span>

#include "resources/main_menu.h"

class QAction;
class QMenu;
class QMenuBar;
class QString;
class QWidget;

// Builds the menu bar with one menu per pop-up. Every item's action carries
// its command number (MenuCommand) as data and is named by MenuActionName.
QMenuBar* BuildMenuBar(std::span<const MenuPopup> popups, QWidget* parent);

// Adds the pop-up's items to `menu`, in order.
void AddMenuItems(QMenu& menu, const MenuPopup& popup);

// The command an action of these menus stands for.
MenuCommand CommandOf(const QAction& action);

// The object name of a menu item's action, such as "command32771".
QString MenuActionName(MenuCommand command);
