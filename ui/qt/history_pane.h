// The history pane: one item per "=" of the session, the expression above "= result".
#pragma once

#include <QListWidget>

#include <deque>

#include "calculator/window_port.h"

class HistoryPane : public QListWidget {
  Q_OBJECT

 public:
  // window: the main window, as the core knows it.
  HistoryPane(WindowHandle window, QWidget* parent);

  void SetEntries(const std::deque<HistoryEntry>& entries);

 signals:
  // A click, or Enter on the selected item.
  void chosen(int row);
  // A command of the entry menu (calculator/context_menu.h) on the entry at row.
  void entryCommand(int command, int row);
  // A key that is the calculator's, not the list's: the main window has the focus again.
  void keyForCalculator(QKeyEvent* event);

 protected:
  bool event(QEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  WindowHandle window;
};
