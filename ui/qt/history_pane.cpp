#include "ui/qt/history_pane.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <cstddef>
#include <optional>

#include "calculator/context_menu.h"
#include "calculator/history.h"
#include "calculator/keyboard.h"
#include "ui/appearance.h"
#include "ui/qt/key_events.h"
#include "ui/qt/qt_appearance.h"

HistoryPane::HistoryPane(WindowHandle mainWindow, QWidget* parent)
    : QListWidget(parent), window(mainWindow) {
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

bool HistoryPane::event(QEvent* event) {
  if (IsTabPress(*event)) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QListWidget::event(event);
}

// The core says what a key does (calculator/keyboard.h). The list moves its selection
// itself; other keys and typed text (which the list would take for a search) go to the
// main window, which has the focus again.
void HistoryPane::keyPressEvent(QKeyEvent* event) {
  std::optional<std::size_t> selected;
  if (currentRow() >= 0) selected = static_cast<std::size_t>(currentRow());
  const HistoryPaneKeyResult result =
      OnHistoryPaneKey(window, VirtualKeyOf(*event), ModifiersOf(*event), selected);
  if (result.select) setCurrentRow(static_cast<int>(*result.select));
  if (result.key == HistoryPaneKey::kList) QListWidget::keyPressEvent(event);
  if (result.key == HistoryPaneKey::kCalculator) emit keyForCalculator(event);
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
