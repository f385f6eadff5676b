// The dark and high-contrast sets: legible, and telling the keys apart as the light one does.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "calculator/keypad.h"
#include "ui/appearance.h"

namespace {

// WCAG 2: the contrast ratio of two sRGB colours by their relative luminance.
double Contrast(Rgb a, Rgb b) {
  const auto luminance = [](Rgb c) {
    const auto linear = [](int v) {
      return v <= 10 ? v / 255.0 / 12.92 : std::pow((v / 255.0 + 0.055) / 1.055, 2.4);
    };
    return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
  };
  const double la = luminance(a), lb = luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsRed(Rgb c) { return c.r - std::max(c.g, c.b) >= 90; }

TEST(DarkColors, TextsAreLegibleAndKeysRecognisable) {
  const PaneColors& pane = kDarkColors.pane.value();
  EXPECT_GE(Contrast(kDarkColors.displayText, kDarkColors.displayBackground), 4.5);
  EXPECT_GE(Contrast(pane.text, pane.background), 4.5);
  EXPECT_GE(Contrast(pane.selectionText, pane.selection), 4.5);
  for (const ButtonDef& key : g_buttons) {
    SCOPED_TRACE(key.id);
    const KeyColors dark = KeyColorsFor(key.id, kDarkColors);
    const KeyColors light = KeyColorsFor(key.id, kLightColors);
    EXPECT_GE(Contrast(dark.text, dark.fill), 4.5);
    EXPECT_GE(Contrast(dark.pressedText, dark.pressedFill), 4.5);
    EXPECT_GE(Contrast(dark.fill, dark.pressedFill), 1.2);  // held, visibly so
    // "=" is red, the operators, AC, ⌫, ± and mr have red text, in both sets.
    EXPECT_EQ(IsRed(dark.fill), IsRed(light.fill));
    EXPECT_EQ(IsRed(dark.text), IsRed(light.text));
  }
}

// Selected text reads as well as the rest, on a fill that stands apart from the display's,
// and so does the expression line's quieter text.
TEST(ColorSets, TheDisplaysSelectionAndExpressionLineAreLegible) {
  for (const ColorSet* colors : {&kLightColors, &kDarkColors}) {
    SCOPED_TRACE(colors == &kLightColors ? "light" : "dark");
    EXPECT_GE(Contrast(colors->displaySelectionText, colors->displaySelection), 4.5);
    EXPECT_GE(Contrast(colors->displaySelection, colors->displayBackground), 1.2);
    EXPECT_GE(Contrast(colors->displaySecondaryText, colors->displayBackground), 4.5);
  }
}

// Wine cannot turn high contrast on, so the choice is tested here: it wins over dark.
TEST(HighContrastColors, KeysAndDisplayTakeTheSystemColours) {
  const SystemColors system{{1, 0, 0}, {2, 0, 0}, {3, 0, 0}, {4, 0, 0}, {5, 0, 0}, {6, 0, 0}};
  SetColorPreference({.dark = true, .highContrast = system});
  const ColorSet shown = ActiveColors();
  SetColorPreference({});
  EXPECT_EQ(shown.displayBackground, system.window);
  EXPECT_EQ(shown.displayText, system.windowText);
  EXPECT_EQ(shown.displaySelection, system.highlight);
  EXPECT_EQ(shown.displaySelectionText, system.highlightText);
  EXPECT_EQ(shown.displaySecondaryText, system.windowText);
  for (const ButtonDef& key : g_buttons) {
    SCOPED_TRACE(key.id);
    const KeyColors colors = KeyColorsFor(key.id, shown);
    const bool equals = key.id == kKeyEquals;
    EXPECT_EQ(colors.fill, equals ? system.highlight : system.buttonFace);
    EXPECT_EQ(colors.text, equals ? system.highlightText : system.buttonText);
    EXPECT_EQ(colors.border, system.buttonText);
    // Held, a key takes the highlight, and "=" gives it up.
    EXPECT_EQ(colors.pressedFill, equals ? system.buttonFace : system.highlight);
    EXPECT_EQ(colors.pressedText, equals ? system.buttonText : system.highlightText);
  }
  EXPECT_EQ(KeyColorsFor(kKeyEquals).fill, kLightColors.equalsKey.fill);
}

}  // namespace
