#include "ui/qt/history_pane.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

#include "calculator/history.h"
#include "ui/appearance.h"
#include "calculator/context_menu.h"
#include "ui/qt/main_window.h"
#include "ui/qt/qt_appearance.h"

HistoryPane::HistoryPane(QWidget* parent) : QListWidget(parent) {
  setFont(HistoryFont());
  // Long expressions show their end, as the display does.
  setTextElideMode(Qt::ElideLeft);
  setWordWrap(false);
  setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
  setSpacing(kHistoryItemPadding / 2);
  // The pane is named as the menu item that shows it.
  setAccessibleName(ToQString(MenuText(kMenuHistory)));
  connect(this, &QListWidget::itemClicked, this,
          [this](QListWidgetItem* item) { emit chosen(row(item)); });
}

void HistoryPane::SetEntries(const std::deque<HistoryEntry>& entries) {
  clear();
  for (const HistoryEntry& entry : entries) {
    auto* item = new QListWidgetItem(
        QString::fromStdWString(entry.expression + L"\n" + HistoryResultLine(entry)), this);
    item->setTextAlignment(Qt::AlignRight | Qt::AlignVCenter);
    // Read as one line, not as two.
    item->setData(Qt::AccessibleTextRole, QString::fromStdWString(HistoryItemName(entry)));
  }
  scrollToBottom();
}

void HistoryPane::keyPressEvent(QKeyEvent* event) {
  if ((event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) && currentRow() >= 0) {
    emit chosen(currentRow());
    return;
  }
  if (event->key() == Qt::Key_Delete && event->modifiers() == Qt::NoModifier && currentRow() >= 0) {
    const int row = currentRow();
    emit entryCommand(kMenuDeleteEntry, row);
    // The next entry takes the removed one's place, ready for another Delete.
    setCurrentRow(std::min(row, count() - 1));
    return;
  }
  QListWidget::keyPressEvent(event);
}

void HistoryPane::contextMenuEvent(QContextMenuEvent* event) {
  QListWidgetItem* item = event->reason() == QContextMenuEvent::Mouse ? itemAt(event->pos())
                                                                      : currentItem();
  if (item == nullptr) return;
  setCurrentItem(item);
  auto* menu = new QMenu(this);
  menu->setAttribute(Qt::WA_DeleteOnClose);
  for (const MenuItemDef& def : kHistoryEntryMenu) {
    QAction* action = menu->addAction(ToQString(def.text));
    connect(action, &QAction::triggered, this,
            [this, command = def.command, r = row(item)] { emit entryCommand(command, r); });
  }
  const QPoint at = event->reason() == QContextMenuEvent::Mouse
                        ? event->globalPos()
                        : viewport()->mapToGlobal(visualItemRect(item).bottomLeft());
  menu->popup(at);
}

// The core's history operations, carried out on the Qt main window.

namespace {

MainWindow* AsMainWindow(WindowHandle window) { return static_cast<MainWindow*>(window); }

}  // namespace

void SetHistoryEntries(WindowHandle window, const std::deque<HistoryEntry>& entries) {
  AsMainWindow(window)->History()->SetEntries(entries);
}

void ShowHistoryPane(WindowHandle window, bool shown) { AsMainWindow(window)->ShowHistory(shown); }

void SetAlwaysOnTop(WindowHandle window, bool on) { AsMainWindow(window)->StayOnTop(on); }
