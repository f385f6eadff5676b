#include "ui/qt/display_widget.h"

#include <QApplication>
#include <QMouseEvent>
#include <QPainter>
#include <QStyle>

#include <algorithm>
#include <cmath>

#include "ui/layout.h"

namespace {

// Screenshot tests set it, so that a blinking caret never shows in their pixels.
bool CaretHidden() {
  static const bool hidden = qEnvironmentVariable("VORLANE_HIDE_CARET") == QLatin1String("1");
  return hidden;
}

// Longer than the longest expression ever is, and inside QTextLayout's fixed-point range.
constexpr qreal kUnboundedLine = 1 << 22;

}  // namespace

int Utf16Offset(const QString& text, std::size_t characters) {
  int offset = 0;
  for (std::size_t i = 0; i < characters && offset < text.size(); ++i) {
    offset += text.at(offset).isHighSurrogate() && offset + 1 < text.size() ? 2 : 1;
  }
  return offset;
}

std::size_t CharacterOffset(const QString& text, int utf16) {
  std::size_t characters = 0;
  for (int i = 0; i < std::min(utf16, static_cast<int>(text.size())); ++i) {
    if (!text.at(i).isLowSurrogate()) ++characters;
  }
  return characters;
}

DisplayWidget::DisplayWidget(QWidget* parent) : QLabel(parent) {
  setTextFormat(Qt::PlainText);
  setFocusPolicy(Qt::NoFocus);
  setCursor(Qt::IBeamCursor);
  connect(&blink, &QTimer::timeout, this, [this] {
    blinkOn = !blinkOn;
    update();
  });
  connect(qApp, &QApplication::focusChanged, this, [this] { RestartBlink(); });
}

void DisplayWidget::Show(const QString& text, int caretAt, int anchorAt) {
  setText(text);
  caret = std::clamp(caretAt, 0, static_cast<int>(text.size()));
  anchor = std::clamp(anchorAt, 0, static_cast<int>(text.size()));
  ScrollToCaret();
  RestartBlink();
}

bool DisplayWidget::HasCaretFocus() const { return window()->hasFocus(); }

bool DisplayWidget::CaretDrawn() const { return !CaretHidden() && HasCaretFocus() && blinkOn; }

void DisplayWidget::MakeRoomForLine(bool room) {
  if (room == roomForLine) return;
  roomForLine = room;
  ScrollToCaret();
}

QRect DisplayWidget::ExpressionRect() const {
  if (!roomForLine) return contentsRect();
  const Rect cell = ExpressionCellRect(width());
  return {cell.x, cell.y, cell.width, cell.height};
}

QTextLine DisplayWidget::Line() const {
  // Laid out again only for a new text or font, not for each blink.
  if (!laidOut || layout.text() != text()) {
    layout.clearLayout();
    layout.setText(text());
    layout.setFont(font());
    QTextOption option;
    option.setWrapMode(QTextOption::NoWrap);
    layout.setTextOption(option);
    layout.setCacheEnabled(true);
    layout.beginLayout();
    layout.createLine().setLineWidth(kUnboundedLine);
    layout.endLayout();
    laidOut = true;
  }
  // Even an empty text has its line.
  return layout.lineAt(0);
}

int DisplayWidget::CaretWidth() const {
  return std::max(1, style()->pixelMetric(QStyle::PM_TextCursorWidth, nullptr, this));
}

QPointF DisplayWidget::TextOrigin() const {
  const QRect band = ExpressionRect();
  const QTextLine line = Line();
  // Right-aligned with room for the caret at the end; vertically centred as the label was.
  const qreal right = band.width() - CaretWidth();
  const qreal x = std::round(right - line.naturalTextWidth() + scroll);
  const qreal y = std::round((band.height() - line.height()) / 2);
  return {x, y};
}

void DisplayWidget::ScrollToCaret() {
  const QTextLine line = Line();
  const qreal room = ExpressionRect().width() - CaretWidth();
  const qreal overflow = std::max<qreal>(0, line.naturalTextWidth() - room);
  // The least scroll that shows the caret: the text stays put while the caret is in view.
  const qreal x = room - line.naturalTextWidth() + scroll + line.cursorToX(caret);
  if (x < 0) {
    scroll -= x;
  } else if (x > room) {
    scroll -= x - room;
  }
  scroll = std::clamp(scroll, qreal{0}, overflow);
  update();
}

int DisplayWidget::OffsetAt(qreal x, QTextLine::CursorPosition kind) const {
  const qreal fromText = x - ExpressionRect().left() - TextOrigin().x();
  return std::clamp(Line().xToCursor(fromText, kind), 0, static_cast<int>(text().size()));
}

QRect DisplayWidget::CharacterRect(int offset) const {
  if (offset < 0 || offset >= text().size()) return {};
  const QTextLine line = Line();
  const QPointF origin = ExpressionRect().topLeft() + TextOrigin();
  const qreal from = line.cursorToX(offset);
  const qreal to = line.cursorToX(layout.nextCursorPosition(offset));
  return QRectF(origin.x() + from, origin.y(), to - from, line.height()).toAlignedRect();
}

void DisplayWidget::RestartBlink() {
  // Each change shows the caret at once, as editors do.
  blinkOn = true;
  const int flashTime = QApplication::cursorFlashTime();
  if (!CaretHidden() && HasCaretFocus() && flashTime > 0) {
    blink.start(flashTime / 2);
  } else {
    blink.stop();
  }
  update();
}

void DisplayWidget::paintEvent(QPaintEvent*) {
  QPainter painter(this);
  const QRect band = ExpressionRect();
  painter.setClipRect(band);
  const QTextLine line = Line();
  const QPointF origin = band.topLeft() + TextOrigin();
  QList<QTextLayout::FormatRange> selection;
  if (caret != anchor) {
    QTextLayout::FormatRange range;
    range.start = SelectionStart();
    range.length = SelectionEnd() - SelectionStart();
    range.format.setBackground(palette().color(QPalette::Highlight));
    range.format.setForeground(palette().color(QPalette::HighlightedText));
    selection.append(range);
  }
  painter.setPen(palette().color(QPalette::WindowText));
  layout.draw(&painter, origin, selection, band);
  if (CaretDrawn()) {
    painter.fillRect(QRectF(origin.x() + line.cursorToX(caret), origin.y(), CaretWidth(),
                            line.height()),
                     palette().color(QPalette::WindowText));
  }
}

void DisplayWidget::resizeEvent(QResizeEvent* event) {
  QLabel::resizeEvent(event);
  ScrollToCaret();
}

void DisplayWidget::changeEvent(QEvent* event) {
  QLabel::changeEvent(event);
  if (event->type() == QEvent::FontChange) {
    laidOut = false;
    ScrollToCaret();
  }
}

void DisplayWidget::mousePressEvent(QMouseEvent* event) {
  // The right button opens the context menu and leaves the selection it acts on.
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  dragging = true;
  emit caretPlaced(OffsetAt(event->position().x(), QTextLine::CursorBetweenCharacters),
                   (event->modifiers() & Qt::ShiftModifier) != 0);
}

void DisplayWidget::mouseMoveEvent(QMouseEvent* event) {
  if (!dragging || (event->buttons() & Qt::LeftButton) == 0) return;
  emit caretPlaced(OffsetAt(event->position().x(), QTextLine::CursorBetweenCharacters), true);
}

void DisplayWidget::mouseReleaseEvent(QMouseEvent* event) {
  if (event->button() == Qt::LeftButton) dragging = false;
}

void DisplayWidget::mouseDoubleClickEvent(QMouseEvent* event) {
  if (event->button() != Qt::LeftButton) {
    event->ignore();
    return;
  }
  // The token stays selected until the button comes up, whatever the pointer does.
  dragging = false;
  emit tokenChosen(OffsetAt(event->position().x(), QTextLine::CursorOnCharacter));
}
