#include "ui/qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QFontMetrics>
#include <QLabel>

#include <algorithm>

#include "ui/qt/key_widget.h"

namespace {

// The display as a read-only single-line text: its text and its name are what it shows.
class AccessibleDisplay : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit AccessibleDisplay(QLabel* label) : QAccessibleWidget(label, QAccessible::EditableText) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name || t == QAccessible::Value) return Shown();
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.editable = false;
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // Nothing can be selected, and the caret stands behind the last character.
  void selection(int, int* start, int* end) const override { *start = *end = 0; }
  int selectionCount() const override { return 0; }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return characterCount(); }
  void setCursorPosition(int) override {}
  void scrollToSubstring(int, int) override {}

  QString text(int start, int end) const override {
    const QString shown = Shown();
    const int size = static_cast<int>(shown.size());
    start = std::clamp(start, 0, size);
    end = end < 0 ? size : std::clamp(end, start, size);
    return shown.mid(start, end - start);
  }
  int characterCount() const override { return static_cast<int>(Shown().size()); }

  QString attributes(int, int* start, int* end) const override {
    *start = 0;
    *end = characterCount();
    return {};
  }

  // The label draws its one line right-aligned and vertically centred.
  QRect characterRect(int offset) const override {
    const QString shown = Shown();
    if (offset < 0 || offset >= shown.size()) return {};
    const QFontMetrics metrics(Label()->font());
    const QRect area = Label()->contentsRect();
    const int left = area.right() + 1 - metrics.horizontalAdvance(shown);
    const int top = area.top() + (area.height() - metrics.height()) / 2;
    const int from = metrics.horizontalAdvance(shown.left(offset));
    const int to = metrics.horizontalAdvance(shown.left(offset + 1));
    const QRect local(left + from, top, to - from, metrics.height());
    return QRect(Label()->mapToGlobal(local.topLeft()), local.size());
  }

  int offsetAtPoint(const QPoint& point) const override {
    for (int offset = 0; offset < characterCount(); ++offset) {
      if (characterRect(offset).contains(point)) return offset;
    }
    return -1;
  }

 private:
  QLabel* Label() const { return static_cast<QLabel*>(widget()); }
  QString Shown() const { return Label()->text(); }
};

constexpr char kAnnouncerName[] = "announcer";
constexpr char kDisplayName[] = "display";

// A key as Qt's own button is, plus what to type for it as the press action's key
// binding, which AT-SPI hands to screen readers.
class AccessibleKey : public QAccessibleWidget {
 public:
  explicit AccessibleKey(KeyWidget* key) : QAccessibleWidget(key, QAccessible::Button) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name && Key()->accessibleName().isEmpty()) return Key()->text();
    if (t == QAccessible::Accelerator) return Key()->Shortcut();
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.pressed = Key()->isDown();
    return s;
  }

  QStringList actionNames() const override { return {pressAction()}; }
  void doAction(const QString& name) override {
    if (name == pressAction() && Key()->isEnabled()) Key()->click();
  }
  QStringList keyBindingsForAction(const QString& name) const override {
    if (name != pressAction() || Key()->Shortcut().isEmpty()) return {};
    return {Key()->Shortcut()};
  }

 private:
  KeyWidget* Key() const { return static_cast<KeyWidget*>(widget()); }
};

// Qt asks for each class of an object's ancestry, the most derived first.
QAccessibleInterface* AccessibleFor(const QString& className, QObject* object) {
  if (className == QLatin1String("MainWindow")) {
    // A window of its own is a frame named by its title, as other programs' are.
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Window);
  }
  if (className == QLatin1String("KeyWidget")) {
    return new AccessibleKey(static_cast<KeyWidget*>(object));
  }
  if (className == QLatin1String("QWidget") &&
      object->objectName() == QLatin1String(kAnnouncerName)) {
    return new QAccessibleWidget(static_cast<QWidget*>(object), QAccessible::Notification);
  }
  if (className == QLatin1String("QLabel") && object->objectName() == QLatin1String(kDisplayName)) {
    return new AccessibleDisplay(static_cast<QLabel*>(object));
  }
  return nullptr;
}

}  // namespace

void InstallAccessibility() {
  static const bool installed = [] {
    QAccessible::installFactory(AccessibleFor);
    return true;
  }();
  (void)installed;
}

void MarkAsDisplay(QLabel* display) { display->setObjectName(QLatin1String(kDisplayName)); }

void AnnounceDisplayChange(QLabel* display, const QString& before) {
  if (display->text() == before) return;
  QAccessibleTextUpdateEvent textChanged(display, 0, before, display->text());
  QAccessible::updateAccessibility(&textChanged);
  QAccessibleEvent nameChanged(display, QAccessible::NameChanged);
  QAccessible::updateAccessibility(&nameChanged);
}

QWidget* CreateAnnouncer(QWidget* window) {
  auto* announcer = new QWidget(window);
  announcer->setObjectName(QLatin1String(kAnnouncerName));
  announcer->setAttribute(Qt::WA_TransparentForMouseEvents);
  announcer->setFocusPolicy(Qt::NoFocus);
  announcer->setGeometry(0, 0, 0, 0);
  announcer->hide();
  return announcer;
}

void Announce(QWidget* announcer, const QString& text) {
  // Shown anew even for the same text: AC pressed twice says "0" twice.
  announcer->hide();
  announcer->setAccessibleName(text);
  announcer->show();
}
