// One on-screen key: a button that paints itself in the colours of its id.
#pragma once

#include <QAbstractButton>

class KeyWidget : public QAbstractButton {
  Q_OBJECT

 public:
  KeyWidget(int id, QWidget* parent);

  QSize sizeHint() const override;
  // What to type for the key, for screen readers; empty when it cannot be typed.
  const QString& Shortcut() const { return shortcut; }
  void SetShortcut(const QString& keys) { shortcut = keys; }

 protected:
  void paintEvent(QPaintEvent* event) override;

 private:
  int keyId;
  QString shortcut;
};
