// The Qt window passes clicks, keys and the clipboard to the shared core and shows what
// the core returns. The rules themselves are tested with the core.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QFontInfo>
#include <QFontMetricsF>
#include <QGlyphRun>
#include <QGuiApplication>
#include <QImage>
#include <QInputMethodQueryEvent>
#include <QLabel>
#include <QRawFont>
#include <QTest>
#include <QTextLayout>

#include <clocale>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <ostream>
#include <string>
#include <vector>

#include "calculator/calculator.h"
#include "calculator/editing.h"
#include "calculator/context_menu.h"
#include "calculator/keypad.h"
#include "calculator/menu_commands.h"
#include "calculator/random.h"
#include "calculator/refresh.h"
#include "calculator/state.h"
#include "engine/engine.h"
#include "ui/appearance.h"
#include "ui/layout.h"
#include "ui/qt/display_widget.h"
#include "ui/qt/history_pane.h"
#include "ui/qt/keyboard_help.h"
#include "ui/qt/key_widget.h"
#include "ui/qt/main_window.h"
#include "window_fixture.h"

void PrintTo(const Rgb& c, std::ostream* os) {
  *os << "rgb(" << int{c.r} << ", " << int{c.g} << ", " << int{c.b} << ")";
}

namespace {

QString Q(std::wstring_view text) {
  return QString::fromWCharArray(text.data(), static_cast<qsizetype>(text.size()));
}

QRect ToQRect(const Rect& r) { return {r.x, r.y, r.width, r.height}; }

QImage Grab(QWidget* widget) {
  return widget->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

Rgb PixelAt(const QImage& image, int x, int y) {
  const QRgb p = image.pixel(x, y);
  return {static_cast<std::uint8_t>(qRed(p)), static_cast<std::uint8_t>(qGreen(p)),
          static_cast<std::uint8_t>(qBlue(p))};
}

// The box of the pixels inside `area` that are not `background`: where the text was drawn.
QRect InkBox(const QImage& image, const QRect& area, Rgb background) {
  QRect box;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (!(PixelAt(image, x, y) == background)) {
        box |= QRect(x, y, 1, 1);
      }
    }
  }
  return box;
}

bool HasPixel(const QImage& image, const QRect& area, Rgb color) {
  for (int y = area.top(); y <= area.bottom(); ++y) {
    for (int x = area.left(); x <= area.right(); ++x) {
      if (PixelAt(image, x, y) == color) return true;
    }
  }
  return false;
}

class Window : public WindowFixture {
 protected:
  // The key that shows this text now, first in table order.
  KeyWidget* Key(const QString& label) const {
    for (const ButtonDef& def : g_buttons) {
      KeyWidget* key = window->FindKey(def.id);
      if (key->text() == label) return key;
    }
    ADD_FAILURE() << "no key shows " << label.toStdString();
    return nullptr;
  }

  // Clicks the keys whose labels are separated by spaces, as a user reads them.
  void Click(const QString& labels) const {
    for (const QString& label : labels.split(' ', Qt::SkipEmptyParts)) {
      if (KeyWidget* key = Key(label)) {
        QTest::mouseClick(key, Qt::LeftButton);
      }
    }
  }

  QString Shown() const { return window->Display()->text(); }

};

TEST_F(Window, ClickedKeysEditTheDisplayAndLeaveTheFocusOnTheWindow) {
  struct Case {
    QString keys;
    QString shown;
  };
  const std::vector<Case> cases = {
      {"2 + 3 =", "5"},
      {"1 . 5 × 4 =", "6"},
      {"2 + 3 = 7", "7"},         // a digit starts over after a result
      {"2 + 3 = + 1", "5+1"},     // an operator continues from it
      {"9 ⌫ 4 ±", "-4"},
      {"2nd asin", "asin("},      // the piece of the second function
      {"( ) =", "错误"},
      {"( ) = + 1", "错误+1"},
      {"8 AC", "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.keys.toStdString());
    ResetCalculator();
    RefreshButtonLabels(window.get());
    UpdateDisplay(window.get());
    Click(c.keys);
    EXPECT_EQ(Shown(), c.shown);
    EXPECT_EQ(Shown(), QString::fromStdWString(g_expr));
    EXPECT_EQ(QApplication::focusWidget(), window.get());
  }
}

TEST_F(Window, KeyboardKeysAndTypedCharacters) {
  struct Case {
    QString typed;
    int finalKey;  // pressed after the typed text; 0 for none
    Qt::KeyboardModifiers modifiers;
    QString shown;
  };
  const std::vector<Case> cases = {
      {"12", 0, {}, "12"},  // a digit enters once, though its key also types it
      {"12", Qt::Key_Return, {}, "12"},
      {"1.5+2*3", Qt::Key_Enter, Qt::KeypadModifier, "7.5"},
      {"2^10-(4%3)!", Qt::Key_Return, {}, "1023"},
      {"12", Qt::Key_Backspace, {}, "1"},
      {"12", Qt::Key_Escape, {}, "0"},
      {"", Qt::Key_7, Qt::KeypadModifier, "7"},
      {"", Qt::Key_Left, {}, "0"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.typed.toStdString() + " then key " + std::to_string(c.finalKey));
    ResetCalculator();
    UpdateDisplay(window.get());
    QTest::keyClicks(window.get(), c.typed);
    if (c.finalKey != 0) {
      QTest::keyClick(window.get(), static_cast<Qt::Key>(c.finalKey), c.modifiers);
    }
    EXPECT_EQ(Shown(), c.shown);
  }

  // A key typed after "=" replaces the result; Enter evaluated it.
  QTest::keyClicks(window.get(), "6*7");
  QTest::keyClick(window.get(), Qt::Key_Return);
  QTest::keyClick(window.get(), Qt::Key_3);
  EXPECT_EQ(Shown(), "3");
}

// An input method composes only for a widget that asks for it. None of the calculator's
// does, so pinyin can stay on and keys stay keys, as fcitx5 showed.
TEST_F(Window, NoInputMethodComposesInTheWindowThePaneOrTheOverview) {
  const auto composes = [] {
    QInputMethodQueryEvent query(Qt::ImEnabled);
    QApplication::sendEvent(QApplication::focusObject(), &query);
    return query.value(Qt::ImEnabled).toBool();
  };
  EXPECT_FALSE(composes()) << "main window";
  QTest::keyClicks(window.get(), "1+1");
  QTest::keyClick(window.get(), Qt::Key_Return);
  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_F6);
  ASSERT_EQ(QApplication::focusWidget(), window->History());
  EXPECT_FALSE(composes()) << "history pane";
  QTest::keyClick(window->History(), Qt::Key_F1);
  ASSERT_TRUE(QTest::qWaitFor(
      [] { return qobject_cast<KeyboardHelp*>(QApplication::activeWindow()) != nullptr; }));
  EXPECT_FALSE(composes()) << "keyboard overview";
}

TEST_F(Window, CopyAndPasteGoThroughTheClipboard) {
  QClipboard* clipboard = QGuiApplication::clipboard();

  clipboard->setText("12\n+3");
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "12+3");
  QTest::keyClick(window.get(), Qt::Key_Return);
  QTest::keyClick(window.get(), Qt::Key_C, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), "15");

  clipboard->setText("*2");
  QTest::keyClick(window.get(), Qt::Key_Insert, Qt::ShiftModifier);
  EXPECT_EQ(Shown(), "*2");  // a paste discards a shown result

  QTest::keyClicks(window.get(), "+1");
  QTest::keyClick(window.get(), Qt::Key_Insert, Qt::ControlModifier);
  EXPECT_EQ(clipboard->text(), "*2+1");

  clipboard->clear();
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "*2+1");

  clipboard->setText(QString::fromWCharArray(L"（１＋２）×３"));  // as Chinese text carries it
  QTest::keyClick(window.get(), Qt::Key_Escape);
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  QTest::keyClicks(window.get(), "=");
  EXPECT_EQ(Shown(), Q(EvaluateText(L"(1+2)*3")));
  // Typed by an input method: text with no key of its own.
  for (const QChar ch : QString::fromWCharArray(L"１２＋３＝")) {
    QTest::sendKeyEvent(QTest::Click, window.get(), Qt::Key_unknown, QString(ch), Qt::NoModifier);
  }
  EXPECT_EQ(Shown(), Q(EvaluateText(L"12+3")));
}

TEST_F(Window, KeysAreRelabelledBySecondAndAngleMode) {
  const auto expectAllKeysShowTheirText = [this] {
    for (const ButtonDef& def : g_buttons) {
      EXPECT_EQ(window->FindKey(def.id)->text(), QString::fromStdWString(KeyText(def)))
          << "key " << def.id;
    }
  };

  Click("2nd");
  EXPECT_EQ(window->FindKey(kKeySin)->text(), "asin");
  EXPECT_EQ(window->FindKey(kKeySqrt)->text(), "x²");
  EXPECT_EQ(window->FindKey(kKeySquare)->text(), "√");
  EXPECT_EQ(window->FindKey(kKeySecond)->text(), "2nd");
  expectAllKeysShowTheirText();

  Click("Rad");
  EXPECT_EQ(window->FindKey(kKeyAngleMode)->text(), "Deg");
  Click("2nd");
  EXPECT_EQ(window->FindKey(kKeySin)->text(), "sin");
  EXPECT_EQ(window->FindKey(kKeyAngleMode)->text(), "Deg");
  expectAllKeysShowTheirText();
  EXPECT_EQ(Shown(), "0");  // mode keys leave the display alone
}

TEST_F(Window, KeysAndDisplayFollowTheGridAtStartAndAfterAResize) {
  const auto expectLaidOut = [this](int width, int height) {
    ASSERT_EQ(window->size(), QSize(width, height));
    EXPECT_EQ(window->Display()->geometry(), ToQRect(DisplayRect(width, height)));
    for (const ButtonDef& def : g_buttons) {
      EXPECT_EQ(window->FindKey(def.id)->geometry(), ToQRect(KeyRect(def, width, height)))
          << "key " << def.id;
    }
  };

  SCOPED_TRACE("start size");
  expectLaidOut(kStartClientWidth, kStartClientHeight);

  window->resize(1001, 677);
  QTRY_COMPARE(window->size(), QSize(1001, 677));
  SCOPED_TRACE("resized");
  expectLaidOut(1001, 677);

  // Below the margins and gaps the cells come out negative, passed on unchanged as on
  // Windows; such keys take no room.
  window->resize(60, 130);
  QTRY_COMPARE(window->size(), QSize(60, 130));
  SCOPED_TRACE("below the minimum");
  expectLaidOut(60, 130);
  EXPECT_TRUE(window->FindKey(kKeyEquals)->rect().isEmpty());
}

TEST_F(Window, KeysArePaintedInTheColoursOfTheirId) {
  for (const ButtonDef& def : g_buttons) {
    SCOPED_TRACE("key " + std::to_string(def.id));
    KeyWidget* key = window->FindKey(def.id);
    const KeyColors colors = KeyColorsFor(def.id);
    const int midY = key->height() / 2;
    const int bodyX = kKeyInset + kKeyBorderWidth + 2;  // inside the border, clear of the text

    QImage image = Grab(key);
    EXPECT_EQ(PixelAt(image, bodyX, midY), colors.fill);
    EXPECT_EQ(PixelAt(image, key->width() / 2, kKeyInset), colors.border);
    EXPECT_EQ(PixelAt(image, kKeyInset, midY), colors.border);

    key->setDown(true);
    image = Grab(key);
    key->setDown(false);
    EXPECT_EQ(PixelAt(image, bodyX, midY), colors.pressedFill);
    EXPECT_EQ(PixelAt(image, key->width() / 2, key->height() - 1 - kKeyInset), colors.border);
  }
}

// The centre of the ink inside `area`, each pixel weighted by how far it is from the
// background: antialiased text moves by fractions of a pixel.
QPointF InkCentre(const QImage& image, const QRect& area, Rgb background) {
  double sum = 0, x = 0, y = 0;
  for (int py = area.top(); py <= area.bottom(); ++py) {
    for (int px = area.left(); px <= area.right(); ++px) {
      const Rgb p = PixelAt(image, px, py);
      const double weight = std::abs(p.r - background.r) + std::abs(p.g - background.g) +
                            std::abs(p.b - background.b);
      sum += weight;
      x += weight * px;
      y += weight * py;
    }
  }
  return sum == 0 ? QPointF() : QPointF(x / sum, y / sum);
}

// Only the text rectangle's left and top edges move, as on Windows, so the centred text
// moves by half the offset; where glyphs snap to whole pixels, by a pixel less at one of
// two neighbouring key sizes than at the other, so the mean over both is the half.
TEST_F(Window, AHeldKeyFillsDarkerAndItsTextMovesHalfThePressedOffset) {
  KeyWidget* equals = window->FindKey(kKeyEquals);
  const KeyColors colors = KeyColorsFor(kKeyEquals);
  const int border = kKeyInset + kKeyBorderWidth;
  QPointF totalShift;
  for (const int grow : {0, 1}) {
    SCOPED_TRACE(grow);
    // One pixel more per cell in both directions.
    const QSize size(kStartClientWidth + kKeyColumns * grow, kStartClientHeight + kKeyRows * grow);
    window->resize(size);
    QTRY_COMPARE(window->size(), size);
    const QRect inner = equals->rect().adjusted(border + 4, border + 4, -border - 4, -border - 4);

    const QImage normal = Grab(equals);
    QTest::mousePress(equals, Qt::LeftButton);
    EXPECT_EQ(QApplication::focusWidget(), window.get());  // a key never takes the focus
    const QImage held = Grab(equals);
    QTest::mouseRelease(equals, Qt::LeftButton);

    EXPECT_TRUE(HasPixel(normal, inner, colors.text));
    EXPECT_TRUE(HasPixel(held, inner, colors.text));
    EXPECT_EQ(PixelAt(held, border + 2, equals->height() / 2), colors.pressedFill);
    ASSERT_FALSE(InkBox(normal, inner, colors.fill).isEmpty());
    totalShift +=
        InkCentre(held, inner, colors.pressedFill) - InkCentre(normal, inner, colors.fill);
    EXPECT_EQ(PixelAt(Grab(equals), border + 2, equals->height() / 2), colors.fill);
  }
  const QPointF meanShift = totalShift / 2;
  EXPECT_NEAR(meanShift.x(), kPressedTextOffset / 2.0, 0.2);
  EXPECT_NEAR(meanShift.y(), kPressedTextOffset / 2.0, 0.2);
}

TEST_F(Window, DisplayIsWhiteWithDarkTextOnTheRightAndCentred) {
  QTest::keyClicks(window.get(), "8080");
  QLabel* display = window->Display();
  const QImage image = Grab(display);

  EXPECT_EQ(PixelAt(image, 1, 1), kDisplayBackground);
  EXPECT_EQ(PixelAt(image, display->width() - 2, display->height() - 2), kDisplayBackground);
  EXPECT_TRUE(HasPixel(image, image.rect(), kDisplayTextColor));

  const QRect text = InkBox(image, image.rect(), kDisplayBackground);
  ASSERT_FALSE(text.isEmpty());
  EXPECT_GT(text.right(), display->width() - 12);  // only the glyph's side bearing to the right
  EXPECT_GT(text.left(), display->width() / 2);  // neither left-aligned nor centred
  const int middle = display->height() / 2;
  EXPECT_LT(std::abs(text.center().y() - middle), display->height() / 8);
}

// The rows of `area` that hold any pixel other than `background`, as runs of rows.
std::vector<QRect> InkedRows(const QImage& image, const QRect& area, Rgb background) {
  std::vector<QRect> runs;
  for (int y = area.top(); y <= area.bottom(); ++y) {
    const QRect row = InkBox(image, {area.left(), y, area.width(), 1}, background);
    if (row.isEmpty()) continue;
    if (!runs.empty() && runs.back().bottom() == y - 1) {
      runs.back() |= row;
    } else {
      runs.push_back(row);
    }
  }
  return runs;
}

// The band with what is drawn over it.
QImage GrabBand(MainWindow* window) {
  return window->grab(window->Display()->geometry()).toImage().convertToFormat(QImage::Format_RGB32);
}

class WithExpressionLine : public Window {
  void TearDown() override { SetColorPreference({}); }
};

TEST_F(WithExpressionLine, TheLineStandsAboveTheExpressionInItsOwnColourAndLeavesNoTraceWhenOff) {
  for (const bool dark : {false, true}) {
    SCOPED_TRACE(dark ? "dark" : "light");
    SetColorPreference({.dark = dark, .highContrast = std::nullopt});
    window->ApplyColors();
    const ColorSet& colors = ActiveColors();
    ResetCalculator();
    QTest::keyClicks(window.get(), "12+4*5");
    QTest::keyClick(window.get(), Qt::Key_Return);
    const QImage off = GrabBand(window.get());

    OnMenuCommand(window.get(), kMenuExpressionLine);
    ASSERT_TRUE(g_expressionLineOn);
    const QImage on = GrabBand(window.get());
    const QRect lineCell = ToQRect(ExpressionLineRect(on.width()));
    const QRect expressionCell = ToQRect(ExpressionCellRect(on.width()));
    const std::vector<QRect> runs = InkedRows(on, on.rect(), colors.displayBackground);
    ASSERT_EQ(runs.size(), 2u);
    EXPECT_TRUE(lineCell.contains(runs[0]));
    EXPECT_TRUE(HasPixel(on, runs[0], colors.displaySecondaryText));
    EXPECT_FALSE(HasPixel(on, runs[0], colors.displayText));
    EXPECT_TRUE(expressionCell.contains(runs[1]));
    EXPECT_TRUE(HasPixel(on, runs[1], colors.displayText));
    // Where the line is empty the expression keeps to its cell.
    QTest::keyClick(window.get(), Qt::Key_Escape);
    const std::vector<QRect> cleared = InkedRows(GrabBand(window.get()), on.rect(), colors.displayBackground);
    ASSERT_EQ(cleared.size(), 1u);
    EXPECT_TRUE(expressionCell.contains(cleared[0]));

    QTest::keyClicks(window.get(), "12+4*5");
    QTest::keyClick(window.get(), Qt::Key_Return);
    OnMenuCommand(window.get(), kMenuExpressionLine);
    ASSERT_FALSE(g_expressionLineOn);
    EXPECT_TRUE(GrabBand(window.get()) == off) << "the band differs from what it was before the line";
  }
}

// Where the text is wider than the band, the user sees where it is being typed: its end.
TEST_F(Window, ALongExpressionShowsItsEnd) {
  const auto shownAfterPasting = [this](const QString& text) {
    ResetCalculator();
    QGuiApplication::clipboard()->setText(text);
    QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
    return Grab(window->Display());
  };
  const QImage shortText = shownAfterPasting("111+2");
  const QImage longest = shownAfterPasting(QString(kExpressionLimit - 2, '1') + "+2");
  EXPECT_EQ(g_expr.size(), kExpressionLimit);
  // Where "111+2" stands, the longest text shows the same, give or take the glyphs'
  // antialiased edges.
  const auto inked = [](const QImage& image, int x, int y) { return qGray(image.pixel(x, y)) < 128; };
  int from = shortText.width();
  for (int y = 0; y < shortText.height(); ++y) {
    for (int x = 0; x < from; ++x) {
      if (inked(shortText, x, y)) from = x;
    }
  }
  int ink = 0;
  int differing = 0;
  for (int y = 0; y < shortText.height(); ++y) {
    for (int x = from; x < shortText.width(); ++x) {
      ink += inked(shortText, x, y);
      differing += inked(shortText, x, y) != inked(longest, x, y);
    }
  }
  ASSERT_GT(ink, 0);
  EXPECT_LT(differing, ink / 10);
}

// A character beyond 16 bits is two units of Qt's text and one of the core's.
TEST_F(Window, ACharacterOfTwoUtf16UnitsIsOneForTheCore) {
  QGuiApplication::clipboard()->setText(QString::fromUcs4(U"1\U0001F600" U"2"));
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_Left);
  EXPECT_EQ(window->Display()->Caret(), 3);
  const QPoint afterTheOne(window->Display()->CharacterRect(1).left(), 40);
  QTest::mouseClick(window->Display(), Qt::LeftButton, {}, afterTheOne);
  EXPECT_EQ(g_caret, 1u);
}

// A bar of the text's colour, the line's height, at the left edge of the character.
bool CaretBarAt(DisplayWidget* display, int offset) {
  const QImage image = Grab(display);
  const QRect box = display->CharacterRect(offset);
  int ink = 0;
  for (int y = box.top(); y <= box.bottom(); ++y) {
    ink += HasPixel(image, {box.left() - 1, y, 3, 1}, ActiveColors().displayText);
  }
  return ink >= box.height() * 9 / 10;
}

// ctest runs these once more without the VORLANE_HIDE_CARET=1 of the others.
class Caret : public Window {
  void TearDown() override {
    QApplication::setCursorFlashTime(flashTime);
    SetColorPreference({});
  }
  const int flashTime = QApplication::cursorFlashTime();
};

TEST_F(Caret, InViewBlinkingWhileTheWindowHasTheFocusBesideTheSelectionInItsColours) {
  const bool shown = qEnvironmentVariable("VORLANE_HIDE_CARET") != "1";
  DisplayWidget* display = window->Display();
  SetColorPreference({.dark = true, .highContrast = std::nullopt});
  window->ApplyColors();
  QApplication::setCursorFlashTime(0);  // steady
  QGuiApplication::clipboard()->setText(QString(200, '1') + "+2");
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_Home);
  QTest::keyClick(window.get(), Qt::Key_Right, Qt::ShiftModifier);
  QTest::keyClick(window.get(), Qt::Key_Right, Qt::ShiftModifier);
  EXPECT_GE(display->CharacterRect(0).left(), 0);  // scrolled to the start
  const QImage image = Grab(display);
  for (int offset = 0; offset < 4; ++offset) {
    const QRect box = display->CharacterRect(offset);
    EXPECT_EQ(HasPixel(image, box, kDarkColors.displaySelection), offset < 2) << offset;
  }
  QTest::qWait(300);
  EXPECT_EQ(CaretBarAt(display, 2), shown);

  QApplication::setCursorFlashTime(200);
  QTest::keyClick(window.get(), Qt::Key_Right);  // to the selection's end
  if (shown) {
    QTRY_VERIFY_WITH_TIMEOUT(!CaretBarAt(display, 2), 1000);
    QTRY_VERIFY_WITH_TIMEOUT(CaretBarAt(display, 2), 1000);
  }
  QTest::keyClick(window.get(), Qt::Key_H, Qt::ControlModifier);
  QTest::keyClick(window.get(), Qt::Key_F6);  // the pane takes the focus
  EXPECT_FALSE(CaretBarAt(display, 2));
}

TEST_F(Window, APastePastTheLimitLeavesTheDisplayAndTheNextKeyIsAnswered) {
  QTest::keyClicks(window.get(), "12");
  QGuiApplication::clipboard()->setText(QString(10'000'000, '1'));
  QTest::keyClick(window.get(), Qt::Key_V, Qt::ControlModifier);
  EXPECT_EQ(Shown(), "12");
  QTest::keyClicks(window.get(), "3");
  EXPECT_EQ(Shown(), "123");
}

TEST_F(Window, ChineseTextsAreDrawnWithAFontThatHasTheirGlyphs) {
  const auto expectDrawable = [](const QString& text, const QFont& font) {
    QTextLayout layout(text, font);
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    int glyphs = 0;
    for (const QGlyphRun& run : layout.glyphRuns()) {
      for (quint32 index : run.glyphIndexes()) {
        EXPECT_NE(index, 0u) << "a missing glyph in " << run.rawFont().familyName().toStdString();
        ++glyphs;
      }
    }
    EXPECT_EQ(glyphs, text.size()) << text.toStdString();
  };

  Click("( ) =");
  ASSERT_EQ(Shown(), "错误");
  expectDrawable(Shown(), window->Display()->font());
  expectDrawable(window->FindKey(kKeyErase)->text() + window->FindKey(kKeyPi)->text() +
                     window->FindKey(kKeyRoot)->text(),
                 window->FindKey(kKeyErase)->font());
}

// The display draws each character as itself, as Consolas on Windows does: no face joins
// "--" or "!!" into one sign.
TEST_F(Window, TheDisplayJoinsNoCharacters) {
  const auto glyphsOf = [&](const QString& text) {
    QTextLayout layout(text, window->Display()->font());
    layout.beginLayout();
    layout.createLine();
    layout.endLayout();
    QList<quint32> glyphs;
    for (const QGlyphRun& run : layout.glyphRuns()) glyphs += run.glyphIndexes();
    return glyphs;
  };
  for (const QString pair : {"--", "++", "!!", "//", "..", "/*", "*/", "<=", "=="}) {
    SCOPED_TRACE(pair.toStdString());
    EXPECT_EQ(glyphsOf(pair), glyphsOf(pair.left(1)) + glyphsOf(pair.mid(1)));
  }
}

// Faces of the Windows program's kind that scripts/setup installs, with the cell height
// (ascent plus descent) that CreateFontW's height means.
TEST_F(Window, FontsAreOfTheKindAndCellHeightOfTheWindowsProgram) {
  struct Case {
    const char* name;
    QFont font;
    FontSpec face;
    bool fixedPitch;
  };
  const std::vector<Case> cases = {
      {"display", window->Display()->font(), kDisplayFont, true},
      {"key", window->FindKey(kKey0)->font(), kKeyFont, false},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    const QFontInfo info(c.font);
    EXPECT_EQ(info.weight(), c.face.weight) << info.family().toStdString();
    if (c.fixedPitch) {
      EXPECT_TRUE(info.fixedPitch()) << info.family().toStdString();
    }
    const qreal cell = QFontMetricsF(c.font).height();
    EXPECT_LE(cell, c.face.height);
    EXPECT_GT(cell, c.face.height - 2);
  }
}

TEST_F(Window, TitleCarriesTheMemoryMarkWhileMemoryIsHeld) {
  const QString bare = Q(kWindowTitle);
  const QString marked = bare + Q(kMemoryMark);
  EXPECT_EQ(window->windowTitle(), bare);

  Click("5 m+");
  EXPECT_EQ(window->windowTitle(), marked);
  Click("m-");
  EXPECT_EQ(window->windowTitle(), bare);
  Click("m-");
  EXPECT_EQ(window->windowTitle(), marked);
  Click("mc");
  EXPECT_EQ(window->windowTitle(), bare);
}

// Under a comma-decimal locale the window still reads and writes "." numbers. Run from
// ctest once under LC_ALL=de_DE.UTF-8, where QApplication took the locale from the
// environment; elsewhere the test switches the C locale itself.
class CommaLocale {
 public:
  CommaLocale() : saved(std::setlocale(LC_ALL, nullptr)) {
    if (std::strcmp(std::localeconv()->decimal_point, ",") != 0) {
      std::setlocale(LC_ALL, "de_DE.UTF-8");
    }
  }
  ~CommaLocale() { std::setlocale(LC_ALL, saved.c_str()); }
  CommaLocale(const CommaLocale&) = delete;
  CommaLocale& operator=(const CommaLocale&) = delete;

 private:
  std::string saved;
};

class Locale : public Window {};

TEST_F(Locale, NumbersKeepTheirPointUnderACommaLocale) {
  CommaLocale locale;
  if (std::strcmp(std::localeconv()->decimal_point, ",") != 0) {
    GTEST_SKIP() << "de_DE.UTF-8 is not installed (scripts/setup test makes it)";
  }

  QTest::keyClicks(window.get(), "1.5+1");
  QTest::keyClick(window.get(), Qt::Key_Return);
  EXPECT_EQ(Shown(), "2.5");

  Click("AC 1 . 5 m+ AC mr");
  EXPECT_EQ(Shown(), "1.5");

  // Seed 7 draws a value with a fraction, whose text must hold a point and no comma.
  SeedRandom(7);
  const QString drawn = QString::fromStdWString(RandomText(DrawRandom()));
  SeedRandom(7);
  Click("Rand");
  EXPECT_EQ(Shown(), drawn);
  EXPECT_TRUE(Shown().contains('.')) << Shown().toStdString();
  EXPECT_FALSE(Shown().contains(',')) << Shown().toStdString();
}

}  // namespace
