#include "ui/qt/expression_line.h"

#include <QPainter>

ExpressionLineLabel::ExpressionLineLabel(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setFocusPolicy(Qt::NoFocus);
  // Over the display's band: a click there is the display's.
  setAttribute(Qt::WA_TransparentForMouseEvents);
}

void ExpressionLineLabel::paintEvent(QPaintEvent*) {
  // text() stays whole for screen readers; only the painting gives up the start, where a
  // long expression's end is what the user was last typing.
  const QRect cell = contentsRect();
  QPainter painter(this);
  painter.setPen(palette().color(QPalette::WindowText));
  painter.drawText(cell, Qt::AlignRight | Qt::AlignVCenter | Qt::TextSingleLine,
                   fontMetrics().elidedText(text(), Qt::ElideLeft, cell.width()));
}
