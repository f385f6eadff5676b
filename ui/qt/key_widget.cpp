#include "ui/qt/key_widget.h"

#include <QPainter>

#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/qt/qt_appearance.h"

KeyWidget::KeyWidget(int id, QWidget* parent) : QAbstractButton(parent), keyId(id) {
  // A click must leave the keyboard focus on the main window, or typing would stop there.
  setFocusPolicy(Qt::NoFocus);
}

QSize KeyWidget::sizeHint() const {
  const Rect cell = KeyRect(*FindButton(keyId), kStartClientWidth, kStartClientHeight);
  return {cell.width, cell.height};
}

void KeyWidget::paintEvent(QPaintEvent*) {
  const KeyColors colors = KeyColorsFor(keyId);
  const bool pressed = isDown();

  QPainter painter(this);
  painter.setRenderHint(QPainter::Antialiasing);

  // The half-pixel shift puts the 1-pixel border on whole pixels, as GDI draws it.
  const qreal inset = kKeyInset + kKeyBorderWidth / 2.0;
  const QRectF body = QRectF(rect()).adjusted(inset, inset, -inset, -inset);
  const qreal radius = kKeyCornerDiameter / 2.0;
  painter.save();
  painter.setPen(QPen(ToQColor(colors.border), kKeyBorderWidth));
  painter.setBrush(ToQColor(pressed ? colors.pressedFill : colors.fill));
  painter.drawRoundedRect(body, radius, radius);
  painter.restore();

  QRect textArea = rect();
  if (pressed) {
    // Only the left and top edges move, as on Windows: centred text moves by half.
    textArea.adjust(kPressedTextOffset, kPressedTextOffset, 0, 0);
  }
  painter.setPen(ToQColor(pressed ? colors.pressedText : colors.text));
  painter.setFont(font());
  painter.drawText(textArea, Qt::AlignCenter | Qt::TextSingleLine, text());
}
