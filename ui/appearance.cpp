#include "ui/appearance.h"

#include "calculator/keypad.h"

namespace {

constexpr Rgb kRed{220, 50, 50};

constexpr KeyColors Key(Rgb fill, Rgb pressedFill, Rgb border, Rgb text) {
  return {fill, pressedFill, border, text, text};
}

// On dark, a held key sinks darker; reds turn lighter to keep their contrast.
constexpr Rgb kDarkRed{255, 135, 135};

}  // namespace

const ColorSet kLightColors{
    .equalsKey = Key(kRed, {190, 40, 40}, {180, 30, 30}, {255, 255, 255}),
    .operatorKey = Key({253, 235, 235}, {240, 200, 200}, {230, 160, 160}, kRed),
    .memoryKey = Key({252, 245, 245}, {245, 220, 220}, {225, 180, 180}, {160, 160, 160}),
    .memoryRecallKey = Key({252, 245, 245}, {245, 220, 220}, {225, 180, 180}, kRed),
    .editingKey = Key({247, 247, 247}, {225, 225, 225}, {200, 200, 200}, kRed),
    .otherKey = Key({247, 247, 247}, {220, 220, 220}, {205, 205, 205}, {50, 50, 50}),
    .displayBackground = kDisplayBackground,
    .displayText = kDisplayTextColor,
    .displaySelection = {250, 205, 205},
    .displaySelectionText = kDisplayTextColor,
    .displaySecondaryText = {110, 110, 110},
    .windowBackground = std::nullopt,
    .pane = std::nullopt,
};

const ColorSet kDarkColors{
    .equalsKey = Key({196, 43, 43}, {150, 30, 30}, {232, 96, 96}, {255, 255, 255}),
    .operatorKey = Key({74, 42, 42}, {52, 30, 30}, {120, 64, 64}, kDarkRed),
    .memoryKey = Key({52, 44, 44}, {36, 30, 30}, {92, 72, 72}, {170, 170, 170}),
    .memoryRecallKey = Key({52, 44, 44}, {36, 30, 30}, {92, 72, 72}, kDarkRed),
    .editingKey = Key({56, 56, 56}, {40, 40, 40}, {84, 84, 84}, kDarkRed),
    .otherKey = Key({56, 56, 56}, {36, 36, 36}, {84, 84, 84}, {235, 235, 235}),
    .displayBackground = {24, 24, 24},
    .displayText = {240, 240, 240},
    .displaySelection = {120, 40, 40},
    .displaySelectionText = {255, 255, 255},
    .displaySecondaryText = {150, 150, 150},
    .windowBackground = Rgb{32, 32, 32},
    .pane = PaneColors{{38, 38, 38}, {230, 230, 230}, {120, 40, 40}, {255, 255, 255}},
};

ColorSet HighContrastColors(const SystemColors& system) {
  const KeyColors key{system.buttonFace, system.highlight, system.buttonText, system.buttonText,
                      system.highlightText};
  // "=" stands out by the highlight; held, it turns to a plain key's colours.
  const KeyColors equals{system.highlight, system.buttonFace, system.buttonText,
                         system.highlightText, system.buttonText};
  return {
      .equalsKey = equals,
      .operatorKey = key,
      .memoryKey = key,
      .memoryRecallKey = key,
      .editingKey = key,
      .otherKey = key,
      .displayBackground = system.window,
      .displayText = system.windowText,
      .displaySelection = system.highlight,
      .displaySelectionText = system.highlightText,
      // High contrast has no quieter text colour: the line is told apart by its size.
      .displaySecondaryText = system.windowText,
      .windowBackground = system.buttonFace,
      .pane = PaneColors{system.window, system.windowText, system.highlight, system.highlightText},
  };
}

namespace {

ColorSet g_activeColors = kLightColors;

}  // namespace

void SetColorPreference(const ColorPreference& preference) {
  if (preference.highContrast) {
    g_activeColors = HighContrastColors(*preference.highContrast);
  } else {
    g_activeColors = preference.dark ? kDarkColors : kLightColors;
  }
}

const ColorSet& ActiveColors() { return g_activeColors; }

KeyColors KeyColorsFor(int id, const ColorSet& colors) {
  if (const ButtonDef* key = FindButton(id)) {
    switch (key->colorClass) {
      case kEqualsKey:
        return colors.equalsKey;
      case kOperatorKey:
        return colors.operatorKey;
      case kMemoryKey:
        // mr is red whatever the memory holds; mc, m+ and m- stay grey.
        return id == kKeyMemoryRecall ? colors.memoryRecallKey : colors.memoryKey;
      default:
        break;
    }
  }
  // AC, ⌫ and ± share red text on grey.
  if (id == kKeyAllClear || id == kKeyErase || id == kKeySign) return colors.editingKey;
  return colors.otherKey;
}
