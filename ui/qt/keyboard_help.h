// The keyboard at a glance (KeyboardOverview) in a small window of its own: the groups as
// the tree's top-level items, under each what to type and what it does, two columns that
// screen readers read as the rows of a table.
#pragma once

#include <QWidget>

class QTreeWidget;

class KeyboardHelp : public QWidget {
  Q_OBJECT

 public:
  // calculator: the main window, which has the focus again once this one is closed.
  explicit KeyboardHelp(QWidget* calculator);

  QTreeWidget* Rows() const { return rows; }

 protected:
  void keyPressEvent(QKeyEvent* event) override;
  void hideEvent(QHideEvent* event) override;

 private:
  QTreeWidget* rows;
};
