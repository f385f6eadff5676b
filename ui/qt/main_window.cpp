#include "ui/qt/main_window.h"

#include <QKeyEvent>
#include <QLabel>

#include "calculator/calculator.h"
#include "ui/keypad.h"
#include "ui/layout.h"
#include "ui/qt/key_widget.h"
#include "ui/qt/qt_appearance.h"
#include "ui/refresh.h"

namespace {

QRect ToQRect(const Rect& r) { return {r.x, r.y, r.width, r.height}; }

// More characters than any screen's display band holds at a pixel or more each.
constexpr qsizetype kDisplayTail = 8192;

// Copy and paste, with the bindings that Windows programs also answer to.
bool IsCopy(const QKeyEvent& e) {
  const bool ctrl = e.modifiers() & Qt::ControlModifier;
  return ctrl && (e.key() == Qt::Key_C || e.key() == Qt::Key_Insert);
}

bool IsPaste(const QKeyEvent& e) {
  const bool ctrl = e.modifiers() & Qt::ControlModifier;
  const bool shift = e.modifiers() & Qt::ShiftModifier;
  return (ctrl && e.key() == Qt::Key_V) || (shift && !ctrl && e.key() == Qt::Key_Insert);
}

}  // namespace

MainWindow::MainWindow() {
  setFocusPolicy(Qt::StrongFocus);
  CreateDisplay();
  CreateKeys();
  resize(kStartClientWidth, kStartClientHeight);
  UpdateDisplay(this);
  setFocus(Qt::OtherFocusReason);
}

KeyWidget* MainWindow::FindKey(int id) const {
  if (id < kFirstKeyId || id > kLastKeyId) {
    return nullptr;
  }
  return keysById[id - kFirstKeyId];
}

void MainWindow::ShowExpression(const QString& text) {
  QString tail = text.right(kDisplayTail);
  if (!tail.isEmpty() && tail.front().isLowSurrogate()) {
    tail.remove(0, 1);
  }
  display->setText(tail);
}

void MainWindow::CreateDisplay() {
  display = new QLabel(this);
  display->setTextFormat(Qt::PlainText);
  display->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
  display->setFont(DisplayFont());
  QPalette colors = display->palette();
  colors.setColor(QPalette::Window, ToQColor(kDisplayBackground));
  colors.setColor(QPalette::WindowText, ToQColor(kDisplayTextColor));
  display->setPalette(colors);
  display->setAutoFillBackground(true);
}

void MainWindow::CreateKeys() {
  const QFont font = KeyFont();
  keysById.assign(kLastKeyId - kFirstKeyId + 1, nullptr);
  for (const ButtonDef& def : g_buttons) {
    auto* key = new KeyWidget(def.id, this);
    key->setFont(font);
    key->setText(QString::fromStdWString(KeyText(def)));
    connect(key, &KeyWidget::clicked, this, [this, id = def.id] { OnKeyCommand(this, id); });
    keysById[def.id - kFirstKeyId] = key;
  }
}

void MainWindow::LayOut() {
  const int w = width();
  const int h = height();
  display->setGeometry(ToQRect(DisplayRect(w, h)));
  for (const ButtonDef& def : g_buttons) {
    FindKey(def.id)->setGeometry(ToQRect(KeyRect(def, w, h)));
  }
}

void MainWindow::resizeEvent(QResizeEvent*) { LayOut(); }

void MainWindow::keyPressEvent(QKeyEvent* event) {
  if (IsCopy(*event)) {
    CopyDisplay(this);
    return;
  }
  if (IsPaste(*event)) {
    PasteClipboard(this);
    return;
  }
  const int key = event->key();
  const QString text = event->text();
  switch (key) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
      OnKeyDown(this, kKeyEnter);
      return;
    case Qt::Key_Escape:
      OnKeyDown(this, kKeyEscape);
      return;
    case Qt::Key_Backspace:
      OnKeyDown(this, kKeyBackspace);
      return;
    default:
      break;
  }
  const bool digit = key >= Qt::Key_0 && key <= Qt::Key_9;
  if (digit) {
    // The digits of the main keyboard and the keypad enter alike.
    const wchar_t typed = text.isEmpty() ? 0 : static_cast<wchar_t>(text.at(0).unicode());
    OnKeyDown(this, kKeyDigit0 + (key - Qt::Key_0), typed);
  }
  // Operators and the like arrive as text; the core ignores the digits entered above.
  for (wchar_t ch : text.toStdWString()) {
    OnTypedChar(this, ch);
  }
  if (!digit && text.isEmpty()) {
    QWidget::keyPressEvent(event);
  }
}
