// Key presses as X11 delivers them on US, French and German layouts: the digit keys
// carry their X keycode, whatever character the layout types with them.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QLabel>
#include <QTest>

#include <memory>
#include <vector>

#include "calculator/calculator.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "ui/qt/main_window.h"
#include "window_fixture.h"
#include "engine/engine.h"

namespace {

// X keycodes of the keys used here.
constexpr quint32 kXDigit1 = 10;
constexpr quint32 kXDigit2 = 11;
constexpr quint32 kXDigit5 = 14;
constexpr quint32 kXDigit8 = 17;
constexpr quint32 kXDigit0 = 19;
constexpr quint32 kXEqual = 21;
constexpr quint32 kXComma = 59;
constexpr quint32 kXKeypadDecimal = 91;

struct Press {
  Qt::Key key;
  Qt::KeyboardModifiers modifiers;
  quint32 scanCode;
  QString text;
};

class KeyEvents : public WindowFixture {
 protected:
  void Send(const Press& p) const {
    QKeyEvent down(QEvent::KeyPress, p.key, p.modifiers, p.scanCode, 0, 0, p.text);
    QApplication::sendEvent(window.get(), &down);
    QKeyEvent up(QEvent::KeyRelease, p.key, p.modifiers, p.scanCode, 0, 0, p.text);
    QApplication::sendEvent(window.get(), &up);
  }

  QString Shown() const { return window->Display()->text(); }

};

TEST_F(KeyEvents, DigitKeysEnterTheirDigitOrTheOperatorTheLayoutTypes) {
  struct Case {
    const char* what;
    Press press;
    QString shown;  // after "7" and the press
  };
  const std::vector<Case> cases = {
      {"US Shift+2", {Qt::Key_At, Qt::ShiftModifier, kXDigit2, "@"}, "72"},
      {"US Shift+8", {Qt::Key_Asterisk, Qt::ShiftModifier, kXDigit8, "*"}, "7*"},
      {"French &/1", {Qt::Key_Ampersand, {}, kXDigit1, "&"}, "71"},
      {"French Shift+&/1", {Qt::Key_1, Qt::ShiftModifier, kXDigit1, "1"}, "71"},
      {"French (/5", {Qt::Key_ParenLeft, {}, kXDigit5, "("}, "7("},
      {"German keypad decimal", {Qt::Key_Comma, Qt::KeypadModifier, kXKeypadDecimal, ","}, "7."},
      {"US keypad decimal", {Qt::Key_Period, Qt::KeypadModifier, kXKeypadDecimal, "."}, "7."},
      {"German comma", {Qt::Key_Comma, {}, kXComma, ","}, "7."},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.what);
    ResetCalculator();
    UpdateDisplay(window.get());
    QTest::keyClick(window.get(), Qt::Key_7);
    Send(c.press);
    EXPECT_EQ(Shown(), c.shown);
  }
}

TEST_F(KeyEvents, TypedEqualsEvaluatesAsEnterDoes) {
  for (const Press& equals : {Press{Qt::Key_Equal, {}, kXEqual, "="},
                              Press{Qt::Key_Equal, Qt::ShiftModifier, kXDigit0, "="}}) {
    ResetCalculator();
    UpdateDisplay(window.get());
    QTest::keyClicks(window.get(), "1/8");
    Send(equals);
    EXPECT_EQ(Shown().toStdWString(), EvaluateText(L"1/8"));
    EXPECT_TRUE(g_resultShown);
  }
}

}  // namespace
