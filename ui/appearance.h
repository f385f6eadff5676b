// Colours, fonts and drawing constants of the window, shared by both window programs.
#pragma once

#include <cstdint>

struct Rgb {
  std::uint8_t r;
  std::uint8_t g;
  std::uint8_t b;
  friend constexpr bool operator==(Rgb, Rgb) = default;
};

// Windows' COLORREF layout, 0x00BBGGRR.
constexpr std::uint32_t ToColorRef(Rgb c) {
  return std::uint32_t{c.r} | (std::uint32_t{c.g} << 8) | (std::uint32_t{c.b} << 16);
}

struct KeyColors {
  Rgb fill;
  Rgb pressedFill;
  Rgb border;
  Rgb text;
};

// By control id: the key's colour class refined for AC/⌫/± and mr. Unknown ids get the
// colours of an ordinary key.
KeyColors KeyColorsFor(int id);

inline constexpr Rgb kDisplayBackground{255, 255, 255};
inline constexpr Rgb kDisplayTextColor{20, 20, 20};

struct FontSpec {
  const wchar_t* face;
  int height;  // pixels at 96 DPI, as CreateFontW's height
  int weight;  // 100..900, 400 normal
};

inline constexpr FontSpec kKeyFont{L"Microsoft YaHei", 20, 400};
inline constexpr FontSpec kDisplayFont{L"Consolas", 44, 300};
// The entries of the history pane: the expression, and "= result" below it.
inline constexpr FontSpec kHistoryFont{L"Microsoft YaHei", 18, 400};
// Room around the two lines of an entry.
inline constexpr int kHistoryItemPadding = 4;

// A key is a rounded rectangle inset by one pixel with 16 x 16 corners and a 1-pixel
// border; while held, its text moves one pixel right and down. Pixels at 96 DPI, like
// every pixel number of the window: the Windows program scales them (ScaleForDpi).
inline constexpr int kKeyInset = 1;
inline constexpr int kKeyCornerDiameter = 16;
inline constexpr int kKeyBorderWidth = 1;
inline constexpr int kPressedTextOffset = 1;
