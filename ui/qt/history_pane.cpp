#include "ui/qt/history_pane.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QMenu>

#include <algorithm>

#include "calculator/context_menu.h"
#include "calculator/history.h"
#include "calculator/history_entry.h"
#include "calculator/shortcuts.h"
#include "ui/appearance.h"
#include "ui/qt/key_events.h"
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

bool HistoryPane::event(QEvent* event) {
  if (IsTabPress(*event)) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QListWidget::event(event);
}

// The list moves its selection; other keys and typed text (which the list would take for
// a search) go to the main window, which takes the focus first.
void HistoryPane::keyPressEvent(QKeyEvent* event) {
  auto* main = static_cast<MainWindow*>(parentWidget());
  switch (HistoryPaneKeyOf(VirtualKeyOf(*event), ModifiersOf(*event))) {
    case HistoryPaneKey::kList:
      QListWidget::keyPressEvent(event);
      return;
    case HistoryPaneKey::kChoose:
      // An empty list has nothing to choose: Enter then only leaves it.
      if (currentRow() >= 0) {
        emit chosen(currentRow());
      } else {
        main->setFocus(Qt::OtherFocusReason);
      }
      return;
    case HistoryPaneKey::kDelete:
      if (currentRow() >= 0) {
        const int row = currentRow();
        emit entryCommand(kMenuDeleteEntry, row);
        // The next entry takes the removed one's place, ready for another Delete.
        setCurrentRow(std::min(row, count() - 1));
      }
      return;
    case HistoryPaneKey::kLeave:
      main->setFocus(Qt::OtherFocusReason);
      return;
    case HistoryPaneKey::kCalculator:
      main->setFocus(Qt::OtherFocusReason);
      main->TakeKey(event);
      return;
  }
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

void FocusHistoryPane(WindowHandle window) { AsMainWindow(window)->FocusHistory(); }
