#include "ui/qt/main_window.h"

#include <QKeyEvent>
#include <QLabel>

#include "calculator/calculator.h"
#include "ui/keypad.h"
#include "ui/qt/accessibility.h"
#include "ui/qt/key_events.h"
#include "ui/layout.h"
#include "ui/qt/key_widget.h"
#include "ui/qt/qt_appearance.h"
#include "calculator/refresh.h"

namespace {

QRect ToQRect(const Rect& r) { return {r.x, r.y, r.width, r.height}; }

// More characters than any screen's display band holds at a pixel or more each.
constexpr qsizetype kDisplayTail = 8192;

}  // namespace

MainWindow::MainWindow() {
  InstallAccessibility();
  setFocusPolicy(Qt::StrongFocus);
  CreateDisplay();
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

void MainWindow::ShowExpression(const QString& text) {
  QString tail = text.right(kDisplayTail);
  if (!tail.isEmpty() && tail.front().isLowSurrogate()) {
    tail.remove(0, 1);
  }
  const QString before = display->text();
  display->setText(tail);
  AnnounceDisplayChange(display, before);
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
  keysById.assign(kKeyCount, nullptr);
  for (const ButtonDef& def : g_buttons) {
    auto* key = new KeyWidget(def.id, this);
    key->setFont(font);
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
  const int keyCode = VirtualKeyOf(*event);
  const QString text = event->text();
  if (keyCode != 0) {
    const wchar_t typed = text.isEmpty() ? 0 : static_cast<wchar_t>(text.at(0).unicode());
    OnKeyDown(this, keyCode, typed, ModifiersOf(*event));
  }
  // Operators and the like arrive as text; the core ignores digits and control characters.
  for (wchar_t ch : text.toStdWString()) {
    OnTypedChar(this, ch);
  }
  if (keyCode == 0 && text.isEmpty()) {
    QWidget::keyPressEvent(event);
  }
}
