#include "ui/qt/accessibility.h"

#include <QAccessible>
#include <QAccessibleWidget>
#include <QLabel>
#include <QWidget>

#include <algorithm>

#include "ui/qt/display_widget.h"
#include "ui/qt/key_widget.h"

namespace {

// The display as a read-only single-line text: its text and its name are what it shows;
// the caret and the selection are the core's.
class AccessibleDisplay : public QAccessibleWidget, public QAccessibleTextInterface {
 public:
  explicit AccessibleDisplay(DisplayWidget* display)
      : QAccessibleWidget(display, QAccessible::EditableText) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name || t == QAccessible::Value) return Shown();
    return QAccessibleWidget::text(t);
  }

  QAccessible::State state() const override {
    QAccessible::State s = QAccessibleWidget::state();
    s.readOnly = true;
    s.editable = false;
    // Orca presents caret moves only of the focused object; the keys that move this caret
    // reach the main window, which keeps the real focus.
    s.focused = Display()->HasCaretFocus();
    return s;
  }

  void* interface_cast(QAccessible::InterfaceType type) override {
    if (type == QAccessible::TextInterface) return static_cast<QAccessibleTextInterface*>(this);
    return QAccessibleWidget::interface_cast(type);
  }

  // Read-only for assistive tools: they see the caret and the selection, and move neither.
  void selection(int index, int* start, int* end) const override {
    const bool selected = index == 0 && selectionCount() == 1;
    *start = selected ? Display()->SelectionStart() : 0;
    *end = selected ? Display()->SelectionEnd() : 0;
  }
  int selectionCount() const override {
    return Display()->SelectionStart() != Display()->SelectionEnd() ? 1 : 0;
  }
  void addSelection(int, int) override {}
  void removeSelection(int) override {}
  void setSelection(int, int, int) override {}
  int cursorPosition() const override { return Display()->Caret(); }
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

  QRect characterRect(int offset) const override {
    const QRect local = Display()->CharacterRect(offset);
    if (local.isEmpty()) return {};
    return QRect(Display()->mapToGlobal(local.topLeft()), local.size());
  }

  int offsetAtPoint(const QPoint& point) const override {
    for (int offset = 0; offset < characterCount(); ++offset) {
      if (characterRect(offset).contains(point)) return offset;
    }
    return -1;
  }

 private:
  DisplayWidget* Display() const { return static_cast<DisplayWidget*>(widget()); }
  QString Shown() const { return Display()->text(); }
};

constexpr char kAnnouncerName[] = "announcer";

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

// The expression line as a label named by its whole text, however the screen elides it.
// No text of its own to offer, so that the display stays the window's one text.
class AccessibleLine : public QAccessibleWidget {
 public:
  explicit AccessibleLine(QLabel* line) : QAccessibleWidget(line, QAccessible::StaticText) {}

  QString text(QAccessible::Text t) const override {
    if (t == QAccessible::Name) return static_cast<QLabel*>(widget())->text();
    return QAccessibleWidget::text(t);
  }
};

// Qt asks for each class of an object's ancestry, the most derived first.
QAccessibleInterface* AccessibleFor(const QString& className, QObject* object) {
  if (className == QLatin1String("MainWindow") || className == QLatin1String("KeyboardHelp")) {
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
  if (className == QLatin1String("ExpressionLineLabel")) {
    return new AccessibleLine(static_cast<QLabel*>(object));
  }
  if (className == QLatin1String("DisplayWidget")) {
    return new AccessibleDisplay(static_cast<DisplayWidget*>(object));
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

DisplayState StateOf(const DisplayWidget* display) {
  return {display->text(), display->Caret(), display->SelectionStart(), display->SelectionEnd()};
}

void AnnounceDisplayChange(DisplayWidget* display, const DisplayState& before) {
  const DisplayState now = StateOf(display);
  if (now.text != before.text) {
    QAccessibleTextUpdateEvent textChanged(display, 0, before.text, now.text);
    QAccessible::updateAccessibility(&textChanged);
    QAccessibleEvent nameChanged(display, QAccessible::NameChanged);
    QAccessible::updateAccessibility(&nameChanged);
  }
  if (now.caret != before.caret) {
    QAccessibleTextCursorEvent moved(display, now.caret);
    QAccessible::updateAccessibility(&moved);
  }
  // No selection is one, wherever the caret stands.
  const bool selected = now.selectionStart != now.selectionEnd;
  const bool wasSelected = before.selectionStart != before.selectionEnd;
  if (selected != wasSelected || (selected && (now.selectionStart != before.selectionStart ||
                                               now.selectionEnd != before.selectionEnd))) {
    QAccessibleTextSelectionEvent selection(display, now.selectionStart, now.selectionEnd);
    QAccessible::updateAccessibility(&selection);
  }
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
