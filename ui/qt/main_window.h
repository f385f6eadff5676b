// The calculator's one window: the display band above the 6 x 8 grid of keys.
#pragma once

#include <QWidget>

#include <vector>

class QLabel;
class KeyWidget;

class MainWindow : public QWidget {
  Q_OBJECT

 public:
  MainWindow();

  QLabel* Display() const { return display; }
  // The display is right-aligned and cut off on the left, so it is given only the tail
  // that can show: a pasted megabyte then costs no more to draw than a line.
  void ShowExpression(const QString& text);
  // The key with this control id, or nullptr.
  KeyWidget* FindKey(int id) const;

 protected:
  void resizeEvent(QResizeEvent* event) override;
  void keyPressEvent(QKeyEvent* event) override;

 private:
  void CreateDisplay();
  void CreateKeys();
  void LayOut();

  QLabel* display = nullptr;
  std::vector<KeyWidget*> keysById;  // index: id - kFirstKeyId
};
