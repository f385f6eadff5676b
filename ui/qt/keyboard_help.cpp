#include "ui/qt/keyboard_help.h"

#include <QHideEvent>
#include <QKeyEvent>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "calculator/keyboard_overview.h"
#include "ui/layout.h"
#include "ui/qt/qt_appearance.h"

KeyboardHelp::KeyboardHelp(QWidget* calculator)
    : QWidget(calculator, Qt::Window), rows(new QTreeWidget(this)) {
  const QString title = ToQString(kKeyboardHelpTitle);
  setWindowTitle(title);
  resize(kKeyboardHelpWidth, kKeyboardHelpHeight);
  // No header: the two columns speak for themselves, and every text comes from the core.
  rows->setColumnCount(2);
  rows->setHeaderHidden(true);
  // Screen readers still find the header: blank, not the column numbers Qt would give it.
  rows->setHeaderLabels({QString(), QString()});
  rows->setAccessibleName(title);
  rows->setFont(HistoryFont());
  rows->setEditTriggers(QAbstractItemView::NoEditTriggers);
  QFont groupFont = rows->font();
  groupFont.setBold(true);
  for (const OverviewGroup& group : KeyboardOverview()) {
    auto* heading = new QTreeWidgetItem(rows, {ToQString(group.title)});
    heading->setFont(0, groupFont);
    heading->setFirstColumnSpanned(true);
    for (const OverviewRow& row : group.rows) {
      new QTreeWidgetItem(heading, {ToQString(row.keys), ToQString(row.description)});
    }
  }
  rows->expandAll();
  rows->resizeColumnToContents(0);
  rows->setCurrentItem(rows->topLevelItem(0));
  auto* layout = new QVBoxLayout(this);
  layout->setContentsMargins(0, 0, 0, 0);
  layout->addWidget(rows);
  setFocusProxy(rows);
}

void KeyboardHelp::keyPressEvent(QKeyEvent* event) {
  if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
    close();
    return;
  }
  QWidget::keyPressEvent(event);
}

void KeyboardHelp::hideEvent(QHideEvent* event) {
  QWidget::hideEvent(event);
  // Closed, not minimised: back to the calculator, as a dialog returns to its window.
  if (!event->spontaneous() && parentWidget()->isVisible()) parentWidget()->activateWindow();
}
