// The dark and high-contrast colour sets: legible, and still telling the keys apart.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <string>
#include <vector>

#include "calculator/keypad.h"
#include "ui/appearance.h"

namespace {

// WCAG 2's relative luminance of an sRGB colour, and the contrast ratio of two.
double Luminance(Rgb c) {
  const auto linear = [](int value) {
    const double s = value / 255.0;
    return s <= 0.04045 ? s / 12.92 : std::pow((s + 0.055) / 1.055, 2.4);
  };
  return 0.2126 * linear(c.r) + 0.7152 * linear(c.g) + 0.0722 * linear(c.b);
}

double Contrast(Rgb a, Rgb b) {
  const double la = Luminance(a);
  const double lb = Luminance(b);
  return (std::max(la, lb) + 0.05) / (std::min(la, lb) + 0.05);
}

bool IsRed(Rgb c) { return c.r - std::max(c.g, c.b) >= 90; }

TEST(DarkColors, EveryTextHasAContrastOfAtLeast4Point5) {
  struct Pair {
    std::string what;
    Rgb text;
    Rgb fill;
  };
  const PaneColors& pane = kDarkColors.pane.value();
  std::vector<Pair> pairs{{"display", kDarkColors.displayText, kDarkColors.displayBackground},
                          {"history", pane.text, pane.background},
                          {"chosen history entry", pane.selectionText, pane.selection}};
  for (const ButtonDef& key : g_buttons) {
    const KeyColors colors = KeyColorsFor(key.id, kDarkColors);
    pairs.push_back({"key " + std::to_string(key.id), colors.text, colors.fill});
    pairs.push_back({"held key " + std::to_string(key.id), colors.pressedText, colors.pressedFill});
  }
  for (const Pair& pair : pairs) {
    EXPECT_GE(Contrast(pair.text, pair.fill), 4.5) << pair.what;
  }
}

TEST(DarkColors, HeldAndRedKeysStayRecognisable) {
  for (const ButtonDef& key : g_buttons) {
    SCOPED_TRACE(key.id);
    const KeyColors dark = KeyColorsFor(key.id, kDarkColors);
    const KeyColors light = KeyColorsFor(key.id, kLightColors);
    EXPECT_GE(Contrast(dark.fill, dark.pressedFill), 1.2);
    // "=" is red, the operators, AC, ⌫, ± and mr have red text, in both sets.
    EXPECT_EQ(IsRed(dark.fill), IsRed(light.fill));
    EXPECT_EQ(IsRed(dark.text), IsRed(light.text));
  }
}

// High contrast gives way to the system's colours even where dark is asked for too.
TEST(HighContrastColors, KeysAndDisplayTakeTheSystemColours) {
  const SystemColors system{.window = {1, 0, 0},
                            .windowText = {2, 0, 0},
                            .buttonFace = {3, 0, 0},
                            .buttonText = {4, 0, 0},
                            .highlight = {5, 0, 0},
                            .highlightText = {6, 0, 0}};
  SetColorPreference({.dark = true, .highContrast = system});
  const ColorSet shown = ActiveColors();
  SetColorPreference({});
  EXPECT_EQ(shown.displayBackground, system.window);
  EXPECT_EQ(shown.displayText, system.windowText);
  for (const ButtonDef& key : g_buttons) {
    SCOPED_TRACE(key.id);
    const KeyColors colors = KeyColorsFor(key.id, shown);
    const bool equals = key.id == kKeyEquals;
    EXPECT_EQ(colors.fill, equals ? system.highlight : system.buttonFace);
    EXPECT_EQ(colors.text, equals ? system.highlightText : system.buttonText);
    EXPECT_EQ(colors.border, system.buttonText);
    // Held, a key takes the highlight, and "=" loses it.
    EXPECT_EQ(colors.pressedFill, equals ? system.buttonFace : system.highlight);
    EXPECT_EQ(colors.pressedText, equals ? system.buttonText : system.highlightText);
  }
  EXPECT_EQ(KeyColorsFor(kKeyEquals).fill, kLightColors.equalsKey.fill);
}

}  // namespace
