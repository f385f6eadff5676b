#include "ui/layout.h"

#include <cstdint>

namespace {

// At the base DPI, 12 + 12 + 7 × 6 = 66 across and 102 + 12 + 5 × 6 = 144 down are
// taken by margins and gaps; the rest is shared by the cells.
constexpr int kMargin = 12;
constexpr int kGap = 6;
constexpr int kKeypadTop = 102;
constexpr int kDisplayTop = 5;
constexpr int kDisplayHeight = 80;
// Inside the band: the line (kExpressionLineFont's cell), a gap that keeps the two apart,
// and the expression's cell, kDisplayFont's height.
constexpr int kExpressionLineTop = 4;
constexpr int kExpressionLineHeight = 18;
constexpr int kExpressionCellTop = 30;
constexpr int kExpressionCellHeight = 44;
static_assert(kExpressionLineTop + kExpressionLineHeight < kExpressionCellTop &&
              kExpressionCellTop + kExpressionCellHeight <= kDisplayHeight);

}  // namespace

int ScaleForDpi(int pixels, int dpi) {
  const std::int64_t product = std::int64_t{pixels} * dpi;
  const std::int64_t half = kBaseDpi / 2;
  const std::int64_t scaled = product >= 0 ? (product + half) / kBaseDpi : -((-product + half) / kBaseDpi);
  return static_cast<int>(scaled);
}

Rect DisplayRect(int clientWidth, int /*clientHeight*/, int dpi) {
  const int margin = ScaleForDpi(kMargin, dpi);
  return {margin, ScaleForDpi(kDisplayTop, dpi), clientWidth - 2 * margin,
          ScaleForDpi(kDisplayHeight, dpi)};
}

Rect KeyRect(const ButtonDef& key, int clientWidth, int clientHeight, int dpi) {
  const int margin = ScaleForDpi(kMargin, dpi);
  const int gap = ScaleForDpi(kGap, dpi);
  const int keypadTop = ScaleForDpi(kKeypadTop, dpi);
  const int horizontalChrome = 2 * margin + (kKeyColumns - 1) * gap;
  const int verticalChrome = keypadTop + margin + (kKeyRows - 1) * gap;
  // C++ division truncates toward zero, as the window's layout always has; a client
  // area below the chrome gives empty or negative cells.
  const int cellWidth = (clientWidth - horizontalChrome) / kKeyColumns;
  const int cellHeight = (clientHeight - verticalChrome) / kKeyRows;
  return {(cellWidth + gap) * key.column + margin, (cellHeight + gap) * key.row + keypadTop,
          cellWidth, cellHeight};
}

Rect ExpressionLineRect(int bandWidth, int dpi) {
  return {0, ScaleForDpi(kExpressionLineTop, dpi), bandWidth, ScaleForDpi(kExpressionLineHeight, dpi)};
}

Rect ExpressionCellRect(int bandWidth, int dpi) {
  return {0, ScaleForDpi(kExpressionCellTop, dpi), bandWidth, ScaleForDpi(kExpressionCellHeight, dpi)};
}

Rect HistoryPaneRect(int clientWidth, int clientHeight, int paneWidth, int dpi) {
  // The keypad's right margin separates it from the pane; the pane keeps one of its own.
  const int margin = ScaleForDpi(kMargin, dpi);
  const int top = ScaleForDpi(kDisplayTop, dpi);
  return {clientWidth - paneWidth, top, paneWidth - margin, clientHeight - top - margin};
}
