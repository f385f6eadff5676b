#include "ui/qt/qt_appearance.h"

#include <QFontMetricsF>
#include <QStringList>

#include <algorithm>
#include <cmath>

namespace {

// CreateFontW's positive height is the cell height (ascent plus descent), not the em
// size Qt's pixel size means; shrink the em until the cell fits, as Windows does.
// Hinted by each face's own instructions: with the desktop's slight hinting FreeType's
// auto-hinter takes a glyph of no script, such as √, or any glyph of a Chinese face for
// Chinese, and reads a hundred reference glyphs from all over the file to hint it: 3 MB
// of WenQuanYi for the keys' √, and again for the display's "错误".
QFont FontFor(const FontSpec& wanted, const QStringList& families, QFont::StyleHint hint) {
  QFont font;
  font.setFamilies(families);
  font.setStyleHint(hint);
  font.setHintingPreference(QFont::PreferFullHinting);
  font.setWeight(static_cast<QFont::Weight>(wanted.weight));
  font.setPixelSize(wanted.height);
  const qreal cell = QFontMetricsF(font).height();
  if (cell > wanted.height) {
    font.setPixelSize(std::max(1, static_cast<int>(std::lround(wanted.height * wanted.height / cell))));
  }
  return font;
}

// The Windows face first, then the Chinese faces a Linux desktop usually has.
QFont ChineseFont(const FontSpec& font) {
  return FontFor(font,
                 {QString::fromWCharArray(font.face), "WenQuanYi Micro Hei", "Noto Sans CJK SC",
                  "Source Han Sans SC", "sans-serif"},
                 QFont::SansSerif);
}

}  // namespace

// The labels are symbols and Latin letters, which need no shaping: without it, as GDI
// draws them on Windows, and without HarfBuzz's tables for the face (0.7 MB at start).
QFont KeyFont() {
  QFont font = ChineseFont(kKeyFont);
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}

QFont HistoryFont() { return ChineseFont(kHistoryFont); }

QFont ExpressionLineFont() { return ChineseFont(kExpressionLineFont); }

QFont DisplayFont() {
  QFont font = FontFor(kDisplayFont,
                       {QString::fromWCharArray(kDisplayFont.face), "JetBrains Mono",
                        "DejaVu Sans Mono", "Liberation Mono", "Noto Sans Mono", "monospace"},
                       QFont::Monospace);
  // Each character as itself: JetBrains Mono would join "--" or "!!" into one sign, which
  // Consolas never does and which hides what was typed.
  font.setStyleStrategy(QFont::PreferNoShaping);
  return font;
}
