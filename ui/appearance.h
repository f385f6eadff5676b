// Colours, fonts and drawing constants of the window, shared by both window programs.
#pragma once

#include <cstdint>
#include <optional>

struct Rgb {
  std::uint8_t r;
  std::uint8_t g;
  std::uint8_t b;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

struct KeyColors {
  Rgb fill;
  Rgb pressedFill;
  Rgb border;
  Rgb text;
  Rgb pressedText;  // differs from text only where a held key changes its fill's hue
};

// The history pane's items: plain, and the one selected.
struct PaneColors {
  Rgb background;
  Rgb text;
  Rgb selection;
  Rgb selectionText;
};

// Everything the window paints in colour. The window background and the pane are left to
// the platform where absent, as the light set always has.
struct ColorSet {
  KeyColors equalsKey;
  KeyColors operatorKey;
  KeyColors memoryKey;  // mc, m+, m-
  KeyColors memoryRecallKey;  // mr
  KeyColors editingKey;  // AC, ⌫, ±
  KeyColors otherKey;
  Rgb displayBackground;
  Rgb displayText;
  // Selected text in the display.
  Rgb displaySelection;
  Rgb displaySelectionText;
  // The expression line above the expression: quieter than the expression, still legible.
  Rgb displaySecondaryText;
  std::optional<Rgb> windowBackground;
  std::optional<PaneColors> pane;
};

inline constexpr Rgb kDisplayBackground{255, 255, 255};
inline constexpr Rgb kDisplayTextColor{20, 20, 20};

extern const ColorSet kLightColors;
extern const ColorSet kDarkColors;

// The system's own colours, by the names Windows gives them; Qt's palette has them too.
struct SystemColors {
  Rgb window;
  Rgb windowText;
  Rgb buttonFace;
  Rgb buttonText;
  Rgb highlight;
  Rgb highlightText;
};

// High contrast: the system's colours in place of either set, as Windows asks of owner-drawn
// controls. "=" and a held key take the highlight.
ColorSet HighContrastColors(const SystemColors& system);

// What the system asks for; each window reads it from its platform.
struct ColorPreference {
  bool dark = false;
  std::optional<SystemColors> highContrast;  // present while high contrast is on
};

// The one choice of colours both windows paint with: light until a window sets another.
void SetColorPreference(const ColorPreference& preference);
const ColorSet& ActiveColors();

// By control id: the key's colour class refined for AC/⌫/± and mr. Unknown ids get the
// colours of an ordinary key.
KeyColors KeyColorsFor(int id, const ColorSet& colors);
inline KeyColors KeyColorsFor(int id) { return KeyColorsFor(id, ActiveColors()); }

struct FontSpec {
  const wchar_t* face;
  int height;  // pixels at 96 DPI, as CreateFontW's height
  int weight;  // 100..900, 400 normal
};

inline constexpr FontSpec kKeyFont{L"Microsoft YaHei", 20, 400};
inline constexpr FontSpec kDisplayFont{L"Consolas", 44, 300};
// The entries of the history pane: the expression, and "= result" below it.
inline constexpr FontSpec kHistoryFont{L"Microsoft YaHei", 18, 400};
// The display's expression line, in the pane's face: what "=" evaluated reads as it does
// there.
inline constexpr FontSpec kExpressionLineFont = kHistoryFont;
// Room around the two lines of an entry.
inline constexpr int kHistoryItemPadding = 4;

// A key is a rounded rectangle inset by one pixel with 16 x 16 corners and a 1-pixel
// border; while held, its text moves one pixel right and down. Pixels at 96 DPI, like
// every pixel number of the window: the Windows program scales them (ScaleForDpi).
inline constexpr int kKeyInset = 1;
inline constexpr int kKeyCornerDiameter = 16;
inline constexpr int kKeyBorderWidth = 1;
inline constexpr int kPressedTextOffset = 1;
