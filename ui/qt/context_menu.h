// The context menu of the display, built from the shared table with the core's checks.
#pragma once

#include <QPoint>

class QMenu;
class MainWindow;

// The menu as it stands now; a chosen item runs its command in the core.
QMenu* CreateContextMenu(MainWindow* window);
// Opens it at a point of the screen and runs what the user chooses.
void OpenContextMenu(MainWindow* window, const QPoint& globalPos);
