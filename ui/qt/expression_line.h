// The display's expression line: what "=" evaluated, or what the text being typed comes to,
// above the expression. A label of its own beside the display rather than a text of the
// display's: Orca speaks every change of the display's texts, which it takes for focused,
// and the line is not to be heard while typing.
#pragma once

#include <QLabel>

class ExpressionLineLabel : public QLabel {
  Q_OBJECT

 public:
  explicit ExpressionLineLabel(QWidget* parent);

 protected:
  void paintEvent(QPaintEvent* event) override;
};
