// The display band: the expression on one line, right-aligned while it fits, with its caret
// and selection. Where the text is wider than the band it scrolls so that the caret stays
// in view. It takes no keyboard focus; the caret shows while the main window has it.
#pragma once

#include <QLabel>
#include <QTextLayout>
#include <QTimer>

#include <algorithm>
#include <cstddef>

// Offsets into a QString, in UTF-16 units, and the core's, one unit a character.
int Utf16Offset(const QString& text, std::size_t characters);
std::size_t CharacterOffset(const QString& text, int utf16);

class DisplayWidget : public QLabel {
  Q_OBJECT

 public:
  explicit DisplayWidget(QWidget* parent);

  // The text with the caret and the selection's other end, both UTF-16 offsets into it.
  void Show(const QString& text, int caret, int anchor);
  int Caret() const { return caret; }
  int SelectionStart() const { return std::min(caret, anchor); }
  int SelectionEnd() const { return std::max(caret, anchor); }

  // Where the character at offset is drawn, in the widget's coordinates, also when it is
  // scrolled out of view; empty outside the text.
  QRect CharacterRect(int offset) const;
  // Whether the window has the keyboard focus, so that the caret is the user's.
  bool HasCaretFocus() const;
  // While the expression line is on, the expression keeps to its cell below it.
  void MakeRoomForLine(bool room);

 signals:
  // A press or drag at the nearest character boundary; extend for a drag or Shift.
  void caretPlaced(int offset, bool extend);
  // A double-click on the character at offset.
  void tokenChosen(int offset);

 protected:
  void paintEvent(QPaintEvent* event) override;
  void resizeEvent(QResizeEvent* event) override;
  void changeEvent(QEvent* event) override;
  void mousePressEvent(QMouseEvent* event) override;
  void mouseMoveEvent(QMouseEvent* event) override;
  void mouseReleaseEvent(QMouseEvent* event) override;
  void mouseDoubleClickEvent(QMouseEvent* event) override;

 private:
  // The band's part that the expression takes, which painting and hit tests follow: all of
  // it, or its cell below the expression line.
  QRect ExpressionRect() const;
  QTextLine Line() const;
  // Where the line's text starts, relative to ExpressionRect.
  QPointF TextOrigin() const;
  int CaretWidth() const;
  bool CaretDrawn() const;
  void ScrollToCaret();
  int OffsetAt(qreal x, QTextLine::CursorPosition kind) const;
  void RestartBlink();

  int caret = 0;
  int anchor = 0;
  // How far the text stands right of its right-aligned place, where its end shows; 0
  // while it fits.
  qreal scroll = 0;
  mutable QTextLayout layout;
  mutable bool laidOut = false;  // for the font now set
  QTimer blink;
  bool blinkOn = true;
  bool dragging = false;
  bool roomForLine = false;
};
