// The calculator's one window: the display band above the 6 x 8 grid of keys.
#pragma once

#include <QWidget>

#include <deque>
#include <vector>

#include "calculator/history_entry.h"
#include "ui/qt/display_widget.h"

class QTimer;
class ExpressionLineLabel;
class HistoryPane;
class KeyboardHelp;
class KeyWidget;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  MainWindow();

  DisplayWidget* Display() const { return display; }
  // The text with its caret and the selection's other end, as UTF-16 offsets into it.
  void ShowExpression(const QString& text, int caret, int anchor);
  // The line above the expression: shown or not, and what it says.
  void ShowExpressionLine(bool shown, const QString& text);
  // The key with this control id, or nullptr.
  KeyWidget* FindKey(int id) const;

  // Screen readers speak the text wherever the focus is.
  void Announce(const QString& text);

  // nullptr until the pane is first shown.
  HistoryPane* History() const { return historyPane; }
  // The entries the pane lists, also while it has not been made.
  void SetHistory(const std::deque<HistoryEntry>& entries);
  // The window grows by the pane's width, so that the keypad keeps its size and place.
  void ShowHistory(bool shown);
  void StayOnTop(bool on);
  // Repaints the display and the keys in the colours now active (ActiveColors).
  void ApplyColors();
  // The keyboard focus to the shown pane, its newest entry selected.
  void FocusHistory();
  // The core's retry of a failed save, once, after this delay; stop: none.
  void RetrySavingIn(int milliseconds);
  void StopRetrySaving();
  // Opens the keyboard overview, or brings it to the front.
  void ShowKeyboardHelp();

 protected:
  bool event(QEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;
  void contextMenuEvent(QContextMenuEvent* event) override;

 private:
  void CreateDisplay();
  void CreateKeys();
  void LayOut();
  void CreateHistoryPane();
  // The width the pane takes from the client area: 0 while it is hidden.
  int PaneWidth() const;
  void OpenMenuAtDisplay();

  DisplayWidget* display = nullptr;
  ExpressionLineLabel* expressionLine = nullptr;
  std::vector<KeyWidget*> keysById;  // index: id - kFirstKeyId
  HistoryPane* historyPane = nullptr;  // made when first shown
  std::deque<HistoryEntry> unshownHistory;  // what the pane will list once it is made
  QWidget* announcer = nullptr;
  QTimer* retryTimer = nullptr;
  KeyboardHelp* keyboardHelp = nullptr;  // made when first asked for
};
