// One on-screen key: a button that paints itself in the colours of its id.
#pragma once

#include <QAbstractButton>

class KeyWidget : public QAbstractButton {
  Q_OBJECT

 public:
  KeyWidget(int id, QWidget* parent);

  QSize sizeHint() const override;

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int keyId;
};
