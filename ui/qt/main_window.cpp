#include "ui/qt/main_window.h"

#include <QContextMenuEvent>
#include <QKeyEvent>
#include <QTimer>

#include "calculator/caret.h"
#include "calculator/history.h"
#include "calculator/key_commands.h"
#include "calculator/keyboard.h"
#include "calculator/keypad.h"
#include "calculator/menu_commands.h"
#include "calculator/refresh.h"
#include "calculator/saved_history.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/context_menu.h"
#include "ui/qt/display_widget.h"
#include "ui/qt/expression_line.h"
#include "ui/qt/history_pane.h"
#include "ui/qt/key_events.h"
#include "ui/qt/key_widget.h"
#include "ui/qt/keyboard_help.h"
#include "ui/qt/qt_appearance.h"

namespace {

QRect ToQRect(const Rect& r) { return {r.x, r.y, r.width, r.height}; }

}  // namespace

MainWindow::MainWindow() {
  InstallAccessibility();
  setFocusPolicy(Qt::StrongFocus);
  CreateDisplay();
  announcer = CreateAnnouncer(this);
  CreateKeys();
  resize(kStartClientWidth, kStartClientHeight);
  RefreshButtonLabels(this);
  UpdateDisplay(this);
  setFocus(Qt::OtherFocusReason);
}

KeyWidget* MainWindow::FindKey(int id) const {
  if (id < kFirstKeyId || id > kLastKeyId) {
    return nullptr;
  }
  return keysById[id - kFirstKeyId];
}

void MainWindow::ShowExpression(const QString& text, int caret, int anchor) {
  const DisplayState before = StateOf(display);
  display->Show(text, caret, anchor);
  AnnounceDisplayChange(display, before);
}

void MainWindow::ShowExpressionLine(bool shown, const QString& text) {
  display->MakeRoomForLine(shown);
  expressionLine->setText(text);
  expressionLine->setVisible(shown);
}

void MainWindow::Announce(const QString& text) { ::Announce(announcer, text); }

void MainWindow::CreateDisplay() {
  display = new DisplayWidget(this);
  display->setFont(DisplayFont());
  display->setAutoFillBackground(true);
  // A click edits here, in the main window, also while the history pane had the focus.
  connect(display, &DisplayWidget::caretPlaced, this, [this](int offset, bool extend) {
    setFocus(Qt::MouseFocusReason);
    PlaceCaret(this, CharacterOffset(display->text(), offset), extend);
  });
  connect(display, &DisplayWidget::tokenChosen, this, [this](int offset) {
    setFocus(Qt::MouseFocusReason);
    SelectTokenAt(this, CharacterOffset(display->text(), offset));
  });
  // Made after the display, so that it is drawn over the display's band.
  expressionLine = new ExpressionLineLabel(this);
  expressionLine->setFont(ExpressionLineFont());
  expressionLine->hide();
  ApplyColors();
}

void MainWindow::ApplyColors() {
  QPalette colors = display->palette();
  colors.setColor(QPalette::Window, ToQColor(ActiveColors().displayBackground));
  colors.setColor(QPalette::WindowText, ToQColor(ActiveColors().displayText));
  colors.setColor(QPalette::Highlight, ToQColor(ActiveColors().displaySelection));
  colors.setColor(QPalette::HighlightedText, ToQColor(ActiveColors().displaySelectionText));
  display->setPalette(colors);
  QPalette lineColors = expressionLine->palette();
  lineColors.setColor(QPalette::WindowText, ToQColor(ActiveColors().displaySecondaryText));
  expressionLine->setPalette(lineColors);
  for (KeyWidget* key : keysById) {
    if (key != nullptr) key->update();
  }
}

void MainWindow::CreateKeys() {
  const QFont font = KeyFont();
  keysById.assign(kKeyCount, nullptr);
  for (const ButtonDef& def : g_buttons) {
    auto* key = new KeyWidget(def.id, this);
    key->setFont(font);
    connect(key, &KeyWidget::clicked, this, [this, id = def.id] { OnKeyCommand(this, id); });
    keysById[def.id - kFirstKeyId] = key;
  }
}

void MainWindow::LayOut() {
  const int w = width() - PaneWidth();
  const int h = height();
  const QRect band = ToQRect(DisplayRect(w, h));
  display->setGeometry(band);
  expressionLine->setGeometry(ToQRect(ExpressionLineRect(band.width())).translated(band.topLeft()));
  for (const ButtonDef& def : g_buttons) {
    FindKey(def.id)->setGeometry(ToQRect(KeyRect(def, w, h)));
  }
  if (historyPane != nullptr) {
    historyPane->setGeometry(ToQRect(HistoryPaneRect(width(), h, kHistoryPaneWidth)));
  }
}

void MainWindow::resizeEvent(QResizeEvent*) { LayOut(); }

bool MainWindow::event(QEvent* event) {
  // Tab and Shift+Tab go to the core, not through Qt's focus chain.
  if (IsTabPress(*event)) {
    keyPressEvent(static_cast<QKeyEvent*>(event));
    return true;
  }
  return QWidget::event(event);
}

void MainWindow::keyPressEvent(QKeyEvent* event) {
  // The keyboard's ways to the context menu, as on Windows.
  if (event->key() == Qt::Key_Menu ||
      (event->key() == Qt::Key_F10 && event->modifiers() == Qt::ShiftModifier)) {
    OpenMenuAtDisplay();
    return;
  }
  const int keyCode = VirtualKeyOf(*event);
  const QString text = event->text();
  if (keyCode != 0) {
    const wchar_t typed = text.isEmpty() ? 0 : static_cast<wchar_t>(text.at(0).unicode());
    OnKeyDown(this, keyCode, typed, ModifiersOf(*event));
  }
  // Operators and the like arrive as text; the core ignores digits and control characters.
  for (wchar_t ch : text.toStdWString()) {
    OnTypedChar(this, ch, ModifiersOf(*event));
  }
  if (keyCode == 0 && text.isEmpty()) {
    QWidget::keyPressEvent(event);
  }
}

// A list view, its scroll bars and its model cost 0.8 MB at start, for a pane that most
// sessions never open.
void MainWindow::CreateHistoryPane() {
  historyPane = new HistoryPane(this, this);
  historyPane->hide();
  historyPane->SetEntries(unshownHistory);
  unshownHistory = {};
  // A key press as the main window takes it, also one that reached the pane.
  connect(historyPane, &HistoryPane::keyForCalculator, this,
          [this](QKeyEvent* event) { keyPressEvent(event); });
  connect(historyPane, &HistoryPane::chosen, this,
          [this](int row) { ChooseHistoryEntry(this, static_cast<std::size_t>(row)); });
  connect(historyPane, &HistoryPane::entryCommand, this, [this](int command, int row) {
    OnHistoryEntryCommand(this, command, static_cast<std::size_t>(row));
  });
}

int MainWindow::PaneWidth() const {
  return historyPane == nullptr || historyPane->isHidden() ? 0 : kHistoryPaneWidth;
}

void MainWindow::SetHistory(const std::deque<HistoryEntry>& entries) {
  if (historyPane != nullptr) {
    historyPane->SetEntries(entries);
  } else {
    unshownHistory = entries;
  }
}

void MainWindow::ShowHistory(bool shown) {
  if (shown == (PaneWidth() != 0)) return;
  if (historyPane == nullptr) CreateHistoryPane();
  historyPane->setVisible(shown);
  if (!isMaximized() && !isFullScreen()) {
    resize(width() + (shown ? kHistoryPaneWidth : -kHistoryPaneWidth), height());
  }
  LayOut();
}

void MainWindow::FocusHistory() {
  if (PaneWidth() == 0) return;
  if (historyPane->count() > 0) historyPane->setCurrentRow(historyPane->count() - 1);
  historyPane->setFocus(Qt::OtherFocusReason);
}

void MainWindow::RetrySavingIn(int milliseconds) {
  if (retryTimer == nullptr) {
    retryTimer = new QTimer(this);
    retryTimer->setSingleShot(true);
    connect(retryTimer, &QTimer::timeout, this, [this] { RetrySaving(this); });
  }
  retryTimer->start(milliseconds);
}

void MainWindow::StopRetrySaving() {
  if (retryTimer != nullptr) retryTimer->stop();
}

void MainWindow::ShowKeyboardHelp() {
  if (keyboardHelp == nullptr) keyboardHelp = new KeyboardHelp(this);
  keyboardHelp->show();
  keyboardHelp->raise();
  keyboardHelp->activateWindow();
}

void MainWindow::StayOnTop(bool on) {
  // A new window flag hides the window; it comes back where it was.
  const bool visible = isVisible();
  setWindowFlag(Qt::WindowStaysOnTopHint, on);
  if (visible) show();
}

void MainWindow::OpenMenuAtDisplay() {
  OpenContextMenu(this, display->mapToGlobal(QPoint(0, display->height())));
}

void MainWindow::contextMenuEvent(QContextMenuEvent* event) {
  // The keyboard's menu is opened by keyPressEvent; the mouse's only on the display.
  if (event->reason() == QContextMenuEvent::Mouse && display->geometry().contains(event->pos())) {
    OpenContextMenu(this, event->globalPos());
    return;
  }
  event->ignore();
}
