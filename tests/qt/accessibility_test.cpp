// What the window tells screen readers through Qt's accessibility interfaces; the
// AT-SPI test checks the same from outside, through the real bus.
#include <gtest/gtest.h>

#include <QAccessible>
#include <QApplication>
#include <QLabel>
#include <QTest>

#include <memory>
#include <vector>

#include "calculator/context_menu.h"
#include "calculator/keypad.h"
#include "calculator/menu_commands.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "ui/qt/key_widget.h"
#include "ui/qt/main_window.h"
#include "window_fixture.h"
#include "engine/engine.h"

namespace {

class Accessibility : public WindowFixture {
 protected:
  void Click(int id) const { QTest::mouseClick(window->FindKey(id), Qt::LeftButton); }

  static QAccessibleInterface* Of(QObject* object) {
    return QAccessible::queryAccessibleInterface(object);
  }

};

TEST_F(Accessibility, WindowIsAFrameNamedByItsTitle) {
  QAccessibleInterface* frame = Of(window.get());
  ASSERT_NE(frame, nullptr);
  EXPECT_EQ(frame->role(), QAccessible::Window);
  EXPECT_EQ(frame->text(QAccessible::Name), window->windowTitle());
  // The display and the keys; the history pane is hidden at start.
  int shown = 0;
  for (int i = 0; i < frame->childCount(); ++i) shown += !frame->child(i)->state().invisible;
  EXPECT_EQ(shown, 1 + kKeyCount);
}

TEST_F(Accessibility, DisplayIsAReadOnlyTextHoldingWhatItShows) {
  QAccessibleInterface* display = Of(window->Display());
  ASSERT_NE(display, nullptr);
  EXPECT_TRUE(display->state().readOnly);
  EXPECT_FALSE(display->state().editable);
  QAccessibleTextInterface* text = display->textInterface();
  ASSERT_NE(text, nullptr);
  EXPECT_EQ(text->text(0, text->characterCount()), "0");

  for (int id : {kKey1, kKey2, kKeyPlus, kKey3, kKeyEquals}) Click(id);
  const QString shown = window->Display()->text();
  EXPECT_EQ(shown, QString::fromStdWString(g_expr));
  EXPECT_EQ(text->text(0, text->characterCount()), shown);
  EXPECT_EQ(text->text(0, -1), shown);
  EXPECT_EQ(display->text(QAccessible::Name), shown);

  // The announcements of each change need a platform bridge, which the offscreen
  // platform lacks: the AT-SPI test hears them.
}

// Read by screen readers where they look for it, not heard with each key: a label of its
// own, named by its whole text, while the display holds the expression alone.
TEST_F(Accessibility, TheExpressionLineIsALabelBesideTheDisplay) {
  OnMenuCommand(window.get(), kMenuExpressionLine);
  for (int id : {kKey1, kKey2, kKeyPlus, kKey3}) Click(id);
  const QString line = QString::fromStdWString(ExpressionLine());
  ASSERT_FALSE(line.isEmpty());
  QAccessibleInterface* frame = Of(window.get());
  std::vector<QAccessibleInterface*> labels;
  for (int i = 0; i < frame->childCount(); ++i) {
    QAccessibleInterface* child = frame->child(i);
    if (child->role() == QAccessible::StaticText && !child->state().invisible) labels.push_back(child);
  }
  ASSERT_EQ(labels.size(), 1u);
  EXPECT_EQ(labels[0]->text(QAccessible::Name), line);
  EXPECT_FALSE(labels[0]->state().focusable);
  EXPECT_EQ(labels[0]->textInterface(), nullptr);  // the display stays the one text
  QAccessibleInterface* display = Of(window->Display());
  EXPECT_EQ(display->text(QAccessible::Name), QString::fromStdWString(g_expr));
  EXPECT_FALSE(display->text(QAccessible::Description).contains(line));
}

TEST_F(Accessibility, CharacterRectanglesLieInTheDisplayInOrder) {
  for (int id : {kKey7, kKeyTimes, kKey8}) Click(id);
  QAccessibleTextInterface* text = Of(window->Display())->textInterface();
  const QRect band(window->Display()->mapToGlobal(QPoint(0, 0)), window->Display()->size());
  int previousRight = band.left();
  for (int offset = 0; offset < text->characterCount(); ++offset) {
    const QRect box = text->characterRect(offset);
    EXPECT_TRUE(band.contains(box)) << offset;
    EXPECT_GE(box.left(), previousRight) << offset;
    EXPECT_EQ(text->offsetAtPoint(box.center()), offset);
    previousRight = box.right();
  }
}

TEST_F(Accessibility, KeysAreNamedByTheirLabelsAndDescribedInEveryMode) {
  const auto expectKeys = [this] {
    for (const ButtonDef& def : g_buttons) {
      QAccessibleInterface* key = Of(window->FindKey(def.id));
      EXPECT_EQ(key->role(), QAccessible::Button) << def.id;
      EXPECT_EQ(key->text(QAccessible::Name), QString::fromStdWString(KeyText(def))) << def.id;
      EXPECT_EQ(key->text(QAccessible::Description), QString::fromStdWString(KeyDescription(def)))
          << def.id;
      // What to type, from the keyboard table: the tooltip and the press action's binding.
      const std::wstring keys = KeyboardShortcut(def.id, g_secondMode && !def.secondLabel.empty());
      EXPECT_EQ(window->FindKey(def.id)->toolTip(),
                QString::fromStdWString(KeyToolTip(KeyDescription(def), keys)));
      QAccessibleActionInterface* action = key->actionInterface();
      ASSERT_NE(action, nullptr);
      EXPECT_EQ(action->keyBindingsForAction(QAccessibleActionInterface::pressAction()),
                keys.empty() ? QStringList{} : QStringList{QString::fromStdWString(keys)});
    }
  };
  expectKeys();
  Click(kKeySecond);
  ASSERT_TRUE(g_secondMode);
  expectKeys();
  Click(kKeyAngleMode);
  ASSERT_FALSE(g_radians);
  expectKeys();
  EXPECT_EQ(Of(window->FindKey(kKeySqrt))->text(QAccessible::Description),
            QString::fromStdWString(FindButton(kKeySqrt)->secondDescription));
}

}  // namespace
