#include "ui/qt/context_menu.h"

#include <QGuiApplication>
#include <QKeySequence>
#include <QMenu>

#include "calculator/context_menu.h"
#include "calculator/menu_commands.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_appearance.h"

QMenu* CreateContextMenu(MainWindow* window) {
  auto* menu = new QMenu(window);
  for (const MenuItemDef& item : kContextMenu) {
    if (item.command == kMenuSeparator) {
      menu->addSeparator();
      continue;
    }
    QAction* action = menu->addAction(ToQString(MenuItemText(item.command)));
    action->setEnabled(MenuItemEnabled(window, item.command));
    // Shown beside the text only: the keys themselves reach the core as key presses.
    if (!item.shortcut.empty()) {
      action->setShortcut(QKeySequence(ToQString(item.shortcut)));
      action->setShortcutContext(Qt::WidgetShortcut);
      // Some desktops' themes hide the shortcuts of context menus; these teach them.
      action->setShortcutVisibleInContextMenu(true);
    }
    if (MenuItemCheckable(item.command)) {
      action->setCheckable(true);
      action->setChecked(MenuItemChecked(item.command));
    }
    // Wayland gives a program no way to stay above the others.
    if (item.command == kMenuAlwaysOnTop &&
        QGuiApplication::platformName().startsWith(QLatin1String("wayland"))) {
      action->setChecked(false);
      action->setEnabled(false);
    }
    QObject::connect(action, &QAction::triggered, window,
                     [window, command = item.command] { OnMenuCommand(window, command); });
  }
  return menu;
}

void OpenContextMenu(MainWindow* window, const QPoint& globalPos) {
  QMenu* menu = CreateContextMenu(window);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  menu->popup(globalPos);
}
